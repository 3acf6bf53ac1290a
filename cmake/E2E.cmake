# End-to-end suite: the whole tool operated through its window under Wine, against the Z server
# simulator over COM, with a capture-target stand-in receiving the keystrokes.
set(FOCURA_E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)

# The driver needs both programs under test; until they exist there is nothing to drive.
set(FOCURA_E2E_TOOL_TARGET focura CACHE STRING "Target that builds focura.exe")
set(FOCURA_E2E_ZSIM_TARGET zsim CACHE STRING "Target that builds zsim.exe")
if(NOT (TARGET ${FOCURA_E2E_TOOL_TARGET} AND TARGET ${FOCURA_E2E_ZSIM_TARGET}))
  message(STATUS "e2e_tests not built: targets ${FOCURA_E2E_TOOL_TARGET} and ${FOCURA_E2E_ZSIM_TARGET} are not both defined")
  return()
endif()

# The other width's in-process simulator, from the build tree beside this one: the tool must
# name the program that can load it.
set(FOCURA_OTHER_WIDTH_DIR "" CACHE PATH
    "The build tree of the other width (its DLL simulator for the tests; its programs for the package)")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(FOCURA_E2E_OTHER_ZSIM_DLL "${FOCURA_OTHER_WIDTH_DIR}/zsim64.dll")
else()
  set(FOCURA_E2E_OTHER_ZSIM_DLL "${FOCURA_OTHER_WIDTH_DIR}/zsim32.dll")
endif()

file(GLOB FOCURA_E2E_SOURCES CONFIGURE_DEPENDS ${FOCURA_E2E_DIR}/*.cpp)
add_executable(e2e_tests ${FOCURA_E2E_SOURCES})
target_include_directories(e2e_tests PRIVATE ${FOCURA_E2E_DIR} ${CMAKE_SOURCE_DIR}/src/win32)
target_compile_definitions(e2e_tests PRIVATE
  UNICODE _UNICODE
  FOCURA_E2E_TOOL_DEFAULT="$<TARGET_FILE:${FOCURA_E2E_TOOL_TARGET}>"
  FOCURA_E2E_ZSIM_DEFAULT="$<TARGET_FILE:${FOCURA_E2E_ZSIM_TARGET}>"
  FOCURA_E2E_STANDIN_DEFAULT="$<TARGET_FILE:capture_target>"
  FOCURA_E2E_WORK_DEFAULT="${CMAKE_BINARY_DIR}/e2e-work"
  FOCURA_E2E_ZSIM_DLL_DEFAULT="$<TARGET_FILE:zsim_dll>"
  FOCURA_E2E_OTHER_ZSIM_DLL_DEFAULT="${FOCURA_E2E_OTHER_ZSIM_DLL}")
# gtest and gmock come from tests/unit, which builds GoogleTest from Debian's sources.
target_link_libraries(e2e_tests PRIVATE focura_core focura_desktop gtest_main gmock
  user32 winmm ole32 oleaut32 advapi32 shell32 psapi ntdll)
add_dependencies(e2e_tests ${FOCURA_E2E_TOOL_TARGET} ${FOCURA_E2E_ZSIM_TARGET} capture_target
                 zsim_dll)

# One CTest entry per test. They share the Wine prefix, the desktop's focus and the per-user COM
# registration, so they never run side by side.
include(GoogleTest)
gtest_discover_tests(e2e_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  TEST_PREFIX "e2e."
  # Run on their own: the soak and the Z server's restart below, the package by scripts/test,
  # the pictures by scripts/screenshots.
  TEST_FILTER "-Soak.*:ZServerRestart.*:Package.*:PackageCheck.*:GuideScreenshots.*"
  PROPERTIES RUN_SERIAL TRUE LABELS e2e TIMEOUT 120)
# The soak runs a thousand planes in one session: about a minute, more on a loaded machine.
gtest_discover_tests(e2e_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  TEST_PREFIX "e2e."
  TEST_FILTER "Soak.*"
  PROPERTIES RUN_SERIAL TRUE LABELS e2e TIMEOUT 300)
# A simulator that quits under its client's feet can leave Wine's COM service unable to start the
# next one (every later creation waits or fails with "class not registered"), so this runs last,
# in a Wine session of its own: scripts/test ends the session before and after it.
gtest_discover_tests(e2e_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  TEST_PREFIX "e2e."
  TEST_FILTER "ZServerRestart.*"
  PROPERTIES RUN_SERIAL TRUE LABELS e2e-own-session TIMEOUT 120)
