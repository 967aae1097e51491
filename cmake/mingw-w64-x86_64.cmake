# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX threads flavour, so the
# standard library's std::thread and std::mutex are there).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_lumo_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_lumo_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_lumo_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_lumo_mingw}-windres)

# Libraries and packages come only from the mingw tree (and the prefixes a build adds);
# the host's /usr/include and /usr/lib must never leak into a Windows build.
set(CMAKE_FIND_ROOT_PATH /usr/${_lumo_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread linked in, so the programs and the DLL run without
# mingw's own DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
