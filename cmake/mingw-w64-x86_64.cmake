# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, which std::thread and std::mutex need). Programs link the C++ and
# thread runtimes statically, so an .exe runs without DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZENTAB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZENTAB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTAB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTAB_MINGW_TRIPLE}-windres)

# Only the MinGW sysroot and what the caller adds (CMAKE_FIND_ROOT_PATH) are
# searched for headers and libraries; programs run at build time are the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZENTAB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No link time in the PE header (nor in the checksum that follows from it):
# the same sources link to the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
