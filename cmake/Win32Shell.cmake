# The Windows shell: the adapters (focura_win32), the program's resources and the adapter tests.
enable_language(RC)
include(GoogleTest)
include(${CMAKE_CURRENT_LIST_DIR}/Manifest.cmake)

set(FOCURA_WIN32_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
    WINVER=0x0601)

file(GLOB FOCURA_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/win32/*.cpp)
add_library(focura_win32 STATIC ${FOCURA_WIN32_SOURCES})
target_include_directories(focura_win32 PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(focura_win32 PUBLIC ${FOCURA_WIN32_DEFINITIONS})
target_link_libraries(focura_win32 PUBLIC focura_core ole32 oleaut32 uuid winmm user32 gdi32
                      comctl32 shell32)

# Resources: the icon is drawn by a script at build time; the manifest asks for Common Controls 6,
# declares the program DPI aware and names the Windows versions it supports.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(FOCURA_ICON ${CMAKE_CURRENT_BINARY_DIR}/focura.ico)
set(FOCURA_MANIFEST ${PROJECT_SOURCE_DIR}/res/focura.manifest)
add_custom_command(
  OUTPUT ${FOCURA_ICON}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/res/make_icon.py ${FOCURA_ICON}
  DEPENDS ${PROJECT_SOURCE_DIR}/res/make_icon.py
  COMMENT "Drawing the program icon")
configure_file(${PROJECT_SOURCE_DIR}/res/focura.rc.in ${CMAKE_CURRENT_BINARY_DIR}/focura.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/focura.rc PROPERTIES
  OBJECT_DEPENDS "${FOCURA_ICON}")

# Adapter tests, run under Wine on a display (scripts/test provides one).
file(GLOB FOCURA_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*.cpp)
# With the program's resources: its manifest gives the tests the same controls (Common Controls 6,
# visual styles) and DPI awareness as the program.
add_executable(win32_tests ${FOCURA_WIN32_TEST_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/focura.rc)
target_include_directories(win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(win32_tests PRIVATE focura_win32 gtest_main gmock)
# The width the tests must find themselves running as: a toolchain or Wine mix-up fails them.
math(EXPR FOCURA_POINTER_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
target_compile_definitions(win32_tests PRIVATE FOCURA_EXPECTED_POINTER_BITS=${FOCURA_POINTER_BITS})
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES RUN_SERIAL TRUE)
