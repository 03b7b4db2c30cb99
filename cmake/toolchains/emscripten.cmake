# The browser build with Debian's emscripten, whose system libraries come
# prebuilt with the package: nothing is fetched or built for them.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# WebAssembly's own exceptions: a call that may throw costs nothing until it
# does, where emulated ones would leave every such call through JavaScript.
set(CMAKE_CXX_FLAGS_INIT -fwasm-exceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fwasm-exceptions)
