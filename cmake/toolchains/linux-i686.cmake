# The core, the converter and their tests as 32-bit Linux programs (Debian's
# g++-multilib and lib32z1-dev), to run 32-bit sizes and the 4 GiB address
# space on this machine, run through user-mode emulation where the kernel
# runs no 32-bit programs itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE2 for double arithmetic, as every 64-bit build has it: x87 registers
# would round the preview's scaling weights differently.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_FIND_LIBRARY_CUSTOM_LIB_SUFFIX 32)
set(ZLIB_ROOT /usr/lib32)
set(ZLIB_LIBRARY /usr/lib32/libz.so)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
