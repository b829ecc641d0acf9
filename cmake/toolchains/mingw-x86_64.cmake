# Cross-builds 64-bit Windows programs with mingw-w64; the tests run under wine64.
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QUILLPAD_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Debian installs the 64-bit loader outside PATH.
find_program(QUILLPAD_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib/wine-stable NO_DEFAULT_PATH)
find_program(QUILLPAD_WINE64 NAMES wine64)
if(QUILLPAD_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLPAD_WINE64})
endif()
