# focura-check.exe: the checks a lab runs on its own PC, shipped in the release zip with the
# simulator and the capture-target stand-in it drives.
if(NOT (TARGET focura_win32 AND TARGET zsim AND TARGET focura_desktop_helpers))
  message(STATUS "focura-check not built: focura_win32, zsim or the desktop helpers are missing")
  return()
endif()

file(GLOB FOCURA_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/check/win32/*.cpp)
# The caption measurement of the window's own tests, applied at the PC's DPI.
add_executable(focura-check WIN32 ${FOCURA_CHECK_SOURCES}
               ${PROJECT_SOURCE_DIR}/tests/win32/CaptionMeasure.cpp)
target_include_directories(focura-check PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/win32)
target_link_libraries(focura-check PRIVATE focura_check_core focura_win32 focura_desktop_helpers
                      advapi32 shell32)
target_link_options(focura-check PRIVATE -municode)
# As the tool: Common Controls 6, DPI awareness, the supported Windows versions.
focura_embed_manifest(focura-check ${PROJECT_SOURCE_DIR}/res/focura.manifest)
add_dependencies(focura-check zsim capture_target)
if(COMMAND focura_version_resource)
  focura_version_resource(focura-check "Focura Acquisition: check of this PC")
endif()

# Shipped stripped, beside focura.exe and zsim.exe.
if(CMAKE_OBJCOPY)
  foreach(target focura-check capture_target)
    install(CODE "
      set(shipped \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:${target}>\")
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --strip-all \"$<TARGET_FILE:${target}>\"
                              \"\${shipped}\" COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()
