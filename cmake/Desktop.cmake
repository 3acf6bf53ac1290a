# Starting programs, finding their windows, reading the capture-target stand-in's key log and the
# editor's text: the PC check drives the stand-in with them on the lab's PC, and the end-to-end
# suite links the same library.
file(GLOB FOCURA_DESKTOP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/desktop/*.cpp)
add_library(focura_desktop STATIC ${FOCURA_DESKTOP_SOURCES})
# src for "desktop/..." and the shell's header-only owners of handles (win32/Owned.h).
target_include_directories(focura_desktop PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(focura_desktop PUBLIC UNICODE _UNICODE)
target_link_libraries(focura_desktop PUBLIC user32 advapi32 psapi ntdll)

# The stand-in for a camera-remote program, shipped with the check.
add_executable(capture_target WIN32 ${PROJECT_SOURCE_DIR}/check/standin/CaptureTarget.cpp)
target_compile_definitions(capture_target PRIVATE UNICODE _UNICODE)
target_link_options(capture_target PRIVATE -municode)
target_link_libraries(capture_target PRIVATE user32 winmm shell32)
# Only the shell's header-only owners of handles; the stand-in links nothing of the tool.
target_include_directories(capture_target PRIVATE ${PROJECT_SOURCE_DIR}/src)
