# Builds for 64-bit Windows on a Debian machine with its MinGW-w64 compilers (package
# g++-mingw-w64-x86-64-posix: the POSIX thread model, which the C++ library's threads and mutexes
# need). The programs link their C and C++ libraries statically, so a Windows machine needs
# nothing but the program's own files; Wine runs them here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests and tools built for Windows run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
