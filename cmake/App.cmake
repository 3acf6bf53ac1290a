# The tool put together (focura_app: the shell, the ui and the built-in simulator wired in one
# place) and the program, focura.exe. Above the shell and the simulator's host, which know nothing
# of it.
if(NOT TARGET zsim_win32)
  message(STATUS "focura not built: the simulator's host zsim_win32 is not defined")
  return()
endif()

add_library(focura_app STATIC ${PROJECT_SOURCE_DIR}/src/app/Tool.cpp)
target_include_directories(focura_app PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
# The tool offers the simulator in-process when no Z server is installed.
target_link_libraries(focura_app PUBLIC focura_win32 zsim_win32)

add_executable(focura WIN32 ${PROJECT_SOURCE_DIR}/src/app/WinMain.cpp
               ${CMAKE_CURRENT_BINARY_DIR}/focura.rc)
target_link_libraries(focura PRIVATE focura_app)
focura_embed_manifest(focura ${FOCURA_MANIFEST})
target_link_options(focura PRIVATE -municode)
# The release holds a program of each width, told apart by name (see the guide's first section).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set_target_properties(focura PROPERTIES OUTPUT_NAME focura32)
endif()
