# Cross build for 32-bit Windows with mingw-w64 (posix thread model, so std::thread works).
# Used by the win32 preset and by scripts/build-win32-deps.sh for the image libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# The static image libraries built by scripts/build-win32-deps.sh live here.
get_filename_component(WIN32_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../.deps/win32-i686" ABSOLUTE)

# Libraries and headers come only from the mingw sysroot and the dependency prefix, never from
# the Linux host; programs (nasm, awk, ...) run on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} "${WIN32_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The shipped executable must run from a bare folder: link libgcc, libstdc++ and winpthread in,
# so it imports nothing but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
