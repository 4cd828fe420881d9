# Cross-compiling the Windows build with Debian's mingw-w64 (x86-64). The
# "-posix" compilers carry the thread model that std::thread and std::mutex
# need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries of the toolchain are linked in, so a program runs on a
# bare Windows (or Wine) without any DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Windows programs built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
