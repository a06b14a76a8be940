# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix-threads compilers, so
# that std::thread and std::mutex work). Programs are linked statically: the .exe needs only
# the system's own DLLs. Where wine is installed it runs the tests (ctest goes through it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TORVA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TORVA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Optional: a machine that only builds still configures.
find_program(TORVA_WINE NAMES wine wine64)
if(TORVA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TORVA_WINE})
endif()
