# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-thread variant, which
# std::thread and std::mutex need). The programs load the compiler's runtime as DLLs
# (libstdc++-6, libgcc_s_seh-1, libwinpthread-1), as the Qt DLLs do, so that a process
# holds one C++ runtime; cmake/WindowsRuntime.cmake puts the DLLs beside the programs.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMIRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMIRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMIRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMIRA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree and from the prefixes given in
# CMAKE_FIND_ROOT_PATH (SQLite, GoogleTest built for Windows); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VELMIRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run through Wine when CTest or a build step starts them.
find_program(VELMIRA_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELMIRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMIRA_WINE})
endif()
