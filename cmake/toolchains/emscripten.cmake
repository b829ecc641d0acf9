# Builds the browser page with Debian's emscripten package (emcc 3.1.6):
#   cmake --preset web && cmake --build --preset web
set(QUILLPAD_EMSCRIPTEN_ROOT /usr/share/emscripten CACHE PATH "Where the emscripten package lives")
if(NOT EXISTS ${QUILLPAD_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)
    message(FATAL_ERROR "emscripten not found in ${QUILLPAD_EMSCRIPTEN_ROOT}: run scripts/install-deps")
endif()
include(${QUILLPAD_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# emcc's linker runs node scripts that need Debian's acorn (package node-acorn, in
# /usr/share/nodejs). Debian's own node looks there; a node from elsewhere does not.
if(EXISTS /usr/share/nodejs/acorn)
    set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
endif()
