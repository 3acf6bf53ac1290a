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

file(GLOB ZSIM_SERVER_SOURCES CONFIGURE_DEPENDS ${ZSIM_DIR}/server/*.cpp)
add_executable(zsim WIN32 ${ZSIM_SERVER_SOURCES})
target_link_libraries(zsim PRIVATE zsim_win32 shell32 advapi32)
target_link_options(zsim PRIVATE -municode)
# Visual styles, DPI awareness and the supported Windows versions, as for the tool.
focura_embed_manifest(zsim ${PROJECT_SOURCE_DIR}/res/zsim.manifest)

# The tool offers the same simulator in-process when no Z server is installed.
if(TARGET focura)
  target_link_libraries(focura PRIVATE zsim_win32)
endif()

# Cross-process tests: zsim.exe registered in the test prefix and reached through the tool's own
# COM client, plus the built-in simulator behind the same port.
file(GLOB ZSIM_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/sim_win32/*.cpp)
if(ZSIM_TEST_SOURCES)
  add_executable(zsim_win32_tests ${ZSIM_TEST_SOURCES})
  target_link_libraries(zsim_win32_tests PRIVATE zsim_win32 gtest_main gmock)
  target_compile_definitions(zsim_win32_tests PRIVATE ZSIM_EXE="$<TARGET_FILE:zsim>")
  add_dependencies(zsim_win32_tests zsim)
  include(GoogleTest)
  gtest_discover_tests(zsim_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       TEST_PREFIX "zsim." PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
endif()
