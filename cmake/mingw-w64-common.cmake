# What both MinGW-w64 cross toolchains share: the POSIX-threads flavour of
# the compilers (GoogleTest needs std::mutex, which the win32 flavour lacks)
# for the target triple `mingw_triple`, and searches confined to its root.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages (GoogleTest's CMake files, say) only as built for Windows.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
