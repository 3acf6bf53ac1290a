# Cross-compiling for 32-bit Windows with MinGW-w64: the program of the release that can load a
# 32-bit in-process Z server. Everything else is as for the 64-bit build.
set(FOCURA_MINGW_PREFIX i686-w64-mingw32)
set(FOCURA_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
