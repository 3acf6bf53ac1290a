# Cross-compiling for 64-bit Windows with MinGW-w64 (posix thread model: GoogleTest needs std::mutex).
# mingw-w64-i686.cmake sets the two names below first for the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT FOCURA_MINGW_PREFIX)
  set(FOCURA_MINGW_PREFIX x86_64-w64-mingw32)
  set(FOCURA_MINGW_PROCESSOR x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${FOCURA_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${FOCURA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOCURA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${FOCURA_MINGW_PREFIX}-windres)
set(CMAKE_AR ${FOCURA_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${FOCURA_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${FOCURA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the programs and the simulator's DLLs need no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs run under Wine, in a prefix of the build tree's own (see scripts/wine-run).
get_filename_component(_focura_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_focura_root}/scripts/wine-run")
