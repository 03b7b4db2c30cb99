# Cross-build for i686 Windows with Debian's mingw-w64 (POSIX threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PIXELIZER_MINGW_TRIPLE i686-w64-mingw32)
# SSE2 for double arithmetic, as the 64-bit build has it: x87 registers
# would round the preview's scaling weights differently.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
