# focura-check.exe: the checks a lab runs on its own PC, shipped in the release zip with the
# simulator and the capture-target stand-in it drives.
if(NOT (TARGET focura_win32 AND TARGET zsim AND TARGET focura_desktop))
  message(STATUS "focura-check not built: focura_win32, zsim or focura_desktop are missing")
  return()
endif()

file(GLOB FOCURA_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/check/win32/*.cpp)
add_executable(focura-check WIN32 ${FOCURA_CHECK_SOURCES})
target_include_directories(focura-check PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(focura-check PRIVATE focura_check_core focura_win32 focura_desktop
                      advapi32 shell32)
target_link_options(focura-check PRIVATE -municode)
# As the tool: Common Controls 6, DPI awareness, the supported Windows versions.
focura_embed_manifest(focura-check ${PROJECT_SOURCE_DIR}/res/focura.manifest)
add_dependencies(focura-check zsim capture_target)
# The same check built 32-bit, beside the 64-bit one in the package: it creates a Z server that is
# a 32-bit in-process component, which only a 32-bit program can load.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set_target_properties(focura-check PROPERTIES OUTPUT_NAME focura-check32)
endif()
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
