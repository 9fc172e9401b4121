# Cross build for 64-bit Windows with mingw-w64 (posix threads, so that
# std::thread and std::mutex work); programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVENNA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVENNA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVENNA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVENNA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVENNA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The mingw runtime (libstdc++, libgcc, winpthread) is linked as DLLs: the Qt
# DLLs need them anyway, and one copy of libstdc++ in a process is what the
# Qt DLLs and the program must share. Programs find them beside themselves
# (the installed folder) or, run from the build tree, through WINEPATH.

# Every program the tests run runs under Wine, in a prefix of this build tree
# that the tests' fixture makes, on the X display it starts (Xvfb).
set(ORVENNA_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine_run.sh ${ORVENNA_WINE_DIR})
