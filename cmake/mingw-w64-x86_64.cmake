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

# The mingw runtime (libgcc, libstdc++, winpthread) is linked in statically,
# so every .exe and .dll runs without DLLs copied beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Every program the build runs (tests included) runs headless under Wine, in a
# prefix of this build tree that the tests' fixture creates and removes.
find_program(ORVENNA_WINE wine REQUIRED)
set(ORVENNA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# No X display, no debug chatter, no Mono/Gecko install prompts.
set(ORVENNA_WINE_ENV
  WINEPREFIX=${ORVENNA_WINEPREFIX}
  DISPLAY=
  WINEDEBUG=-all
  "WINEDLLOVERRIDES=mscoree,mshtml=")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${ORVENNA_WINE_ENV} ${ORVENNA_WINE})
