# The Z server simulator on Windows: the host and window shared by zsim.exe and the tool's
# built-in simulator (zsim_win32), the COM local server zsim.exe, and its tests under Wine.
set(ZSIM_DIR ${PROJECT_SOURCE_DIR}/sim/win32)

# The simulator's host uses the shell's text and COM helpers.
if(NOT TARGET focura_win32)
  message(STATUS "zsim not built: the Windows shell library focura_win32 is not defined")
  return()
endif()

file(GLOB ZSIM_WIN32_SOURCES CONFIGURE_DEPENDS ${ZSIM_DIR}/*.cpp)
add_library(zsim_win32 STATIC ${ZSIM_WIN32_SOURCES})
target_include_directories(zsim_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zsim_win32 PUBLIC zsim_core focura_win32)

# The COM class, its factory and its registration, shared by the local and the in-process server.
file(GLOB ZSIM_SERVER_SOURCES CONFIGURE_DEPENDS ${ZSIM_DIR}/server/*.cpp)
list(FILTER ZSIM_SERVER_SOURCES EXCLUDE REGEX "/ZSimMain\\.cpp$")
add_library(zsim_com STATIC ${ZSIM_SERVER_SOURCES})
target_link_libraries(zsim_com PUBLIC zsim_win32 advapi32)

add_executable(zsim WIN32 ${ZSIM_DIR}/server/ZSimMain.cpp)
target_link_libraries(zsim PRIVATE zsim_com shell32)
target_link_options(zsim PRIVATE -municode)
# Visual styles, DPI awareness and the supported Windows versions, as for the tool.
focura_embed_manifest(zsim ${PROJECT_SOURCE_DIR}/res/zsim.manifest)

# The in-process server, named for its width: a client loads only a DLL of its own width, and an
# operator installing one must be able to tell them apart.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ZSIM_DLL_NAME zsim32)
else()
  set(ZSIM_DLL_NAME zsim64)
endif()
add_library(zsim_dll SHARED ${ZSIM_DIR}/dll/ZSimDll.cpp ${ZSIM_DIR}/dll/zsim.def)
set_target_properties(zsim_dll PROPERTIES OUTPUT_NAME ${ZSIM_DLL_NAME} PREFIX "")
target_link_libraries(zsim_dll PRIVATE zsim_com shell32)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The entry points are __stdcall there, decorated (DllInstall@8); the exports keep the plain
  # names COM and regsvr32 look up.
  target_link_options(zsim_dll PRIVATE -Wl,--enable-stdcall-fixup)
endif()

# Cross-process tests: zsim.exe registered in the test prefix and reached through the tool's own
# COM client, plus the built-in simulator behind the same port.
file(GLOB ZSIM_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/sim_win32/*.cpp)
if(ZSIM_TEST_SOURCES)
  add_executable(zsim_win32_tests ${ZSIM_TEST_SOURCES})
  target_link_libraries(zsim_win32_tests PRIVATE zsim_win32 gtest_main gmock)
  target_compile_definitions(zsim_win32_tests PRIVATE ZSIM_EXE="$<TARGET_FILE:zsim>"
                             ZSIM_DLL="$<TARGET_FILE:zsim_dll>")
  add_dependencies(zsim_win32_tests zsim zsim_dll)
  include(GoogleTest)
  gtest_discover_tests(zsim_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       TEST_PREFIX "zsim." PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
endif()
