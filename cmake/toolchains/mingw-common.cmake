# Shared part of the mingw-w64 cross toolchains. The including file sets QUILLPAD_MINGW_TRIPLE
# and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix thread model: std::thread, std::mutex and friends work with it.
set(CMAKE_C_COMPILER ${QUILLPAD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLPAD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLPAD_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${QUILLPAD_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${QUILLPAD_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLPAD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 warns falsely about overlapping copies inside std::string's operator+ when it inlines
# them at -O3 (GCC bug 105329); with -Werror that would stop the build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Link the C and C++ runtimes and winpthread in, so a program needs only the system's DLLs;
# strip optimised builds.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")

# Test programs list their tests when ctest runs, not at build time, so building needs no wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
