# What both Windows cross-builds share; PIXELIZER_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${PIXELIZER_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIXELIZER_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PIXELIZER_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PIXELIZER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The static zlib, so that the programs need no DLL beside them.
set(ZLIB_USE_STATIC_LIBS ON)

# The C and C++ runtimes and the thread library linked in as well.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs and tests run under Wine on the build machine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tools/wine-run.sh)
