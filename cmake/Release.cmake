# What makes a release: the version resource of both programs, the debug information split off
# into files of its own, and the ZIP package with the operator's guide.
if(NOT (TARGET focura AND TARGET zsim))
  message(STATUS "release parts not built: targets focura and zsim are not both defined")
  return()
endif()

# Version resource: one template, filled in per program from project()'s version.
set(FOCURA_PRODUCT_NAME "Focura Acquisition")
set(FOCURA_COMPANY "The Focura Acquisition developers")
set(FOCURA_COPYRIGHT "Copyright (c) 2026 ${FOCURA_COMPANY}. MIT License.")
set(FOCURA_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
function(focura_version_resource target description)
  set(FOCURA_FILE_DESCRIPTION "${description}")
  set(FOCURA_INTERNAL_NAME "${target}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
focura_version_resource(focura "Focura Acquisition: focus series on a motorised Z axis")
focura_version_resource(zsim "Focura Acquisition: Z server simulator")
if(TARGET zsim_dll)
  focura_version_resource(zsim_dll "Focura Acquisition: Z server simulator (in-process)")
endif()

# The end-to-end suite reads the resource back from the programs it runs.
if(TARGET e2e_tests)
  target_compile_definitions(e2e_tests PRIVATE FOCURA_E2E_VERSION="${PROJECT_VERSION}")
  target_link_libraries(e2e_tests PRIVATE version)
  # The package's signing and installer, with a certificate made for the test (no Wine needed).
  find_program(FOCURA_OSSLSIGNCODE osslsigncode)
  find_program(FOCURA_WIXL wixl)
  if(FOCURA_OSSLSIGNCODE AND FOCURA_WIXL)
    add_test(NAME package_signing COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/sign_test.sh
                                          ${CMAKE_BINARY_DIR})
  endif()
endif()

# The packaged programs are stripped copies; each keeps a link (name and checksum) to the
# <program>.exe.debug written beside the build's own program, from which a debugger or addr2line
# reads a crash address. The build tree keeps its programs whole for the tests.
if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "the package needs objcopy (CMAKE_OBJCOPY)")
endif()
function(focura_install_stripped built name objcopy)
  install(CODE "
    set(built \"${built}\")
    if(NOT EXISTS \"\${built}\")
      message(FATAL_ERROR \"the package needs \${built}: build the 32-bit preset first\")
    endif()
    set(shipped \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${name}\")
    get_filename_component(folder \"\${shipped}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${folder}\")
    execute_process(COMMAND \"${objcopy}\" --only-keep-debug \"\${built}\" \"\${built}.debug\"
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND \"${objcopy}\" --strip-all \"--add-gnu-debuglink=\${built}.debug\"
                            \"\${built}\" \"\${shipped}\" COMMAND_ERROR_IS_FATAL ANY)")
endfunction()
foreach(target focura zsim zsim_dll)
  focura_install_stripped("$<TARGET_FILE:${target}>" "$<TARGET_FILE_NAME:${target}>"
                          "${CMAKE_OBJCOPY}")
endforeach()

# The 64-bit package also holds the 32-bit program and in-process simulator, taken from the
# 32-bit build tree beside this one (FOCURA_OTHER_WIDTH_DIR), and the 32-bit check: for a PC whose
# Z server is a 32-bit DLL, which only a 32-bit program can load. zsim.exe, a server of its own process, serves both.
set(FOCURA_OTHER_WIDTH_DIR "" CACHE PATH
    "The build tree of the other width (its DLL simulator for the tests; its programs for the package)")
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND FOCURA_OTHER_WIDTH_DIR)
  find_program(FOCURA_OBJCOPY_32 i686-w64-mingw32-objcopy REQUIRED)
  foreach(file focura32.exe zsim32.dll focura-check32.exe)
    focura_install_stripped("${FOCURA_OTHER_WIDTH_DIR}/${file}" "${file}" "${FOCURA_OBJCOPY_32}")
  endforeach()
endif()

# The operator's guide as a page any Windows browser opens; its pictures sit beside it.
# The renderer is needed only to build the guide: scripts/run builds the programs alone and does
# not install it.
find_program(FOCURA_CMARK cmark-gfm)
set(FOCURA_GUIDE_HTML ${CMAKE_CURRENT_BINARY_DIR}/guide/guide.html)
if(FOCURA_CMARK)
  add_custom_command(
    OUTPUT ${FOCURA_GUIDE_HTML}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/render_guide.py ${FOCURA_CMARK}
            ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/guide.css
            "${FOCURA_PRODUCT_NAME} ${PROJECT_VERSION}: operator's guide" ${FOCURA_GUIDE_HTML}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/guide.css
            ${PROJECT_SOURCE_DIR}/cmake/render_guide.py
    COMMENT "Rendering the operator's guide"
    VERBATIM)
else()
  add_custom_command(
    OUTPUT ${FOCURA_GUIDE_HTML}
    COMMAND ${CMAKE_COMMAND} -E echo "cmark-gfm is needed for the guide: scripts/install-deps test"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
add_custom_target(guide ALL DEPENDS ${FOCURA_GUIDE_HTML})

# The package: what a lab unzips on its Windows PC.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
               NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)
# The change log, readable in Notepad of any Windows.
configure_file(${PROJECT_SOURCE_DIR}/docs/changes.md ${CMAKE_CURRENT_BINARY_DIR}/changes.txt
               NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changes.txt DESTINATION .)
install(FILES ${FOCURA_GUIDE_HTML} DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION . FILES_MATCHING PATTERN "*.png")
file(GLOB_RECURSE FOCURA_EXAMPLES RELATIVE ${PROJECT_SOURCE_DIR}/examples CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/examples/*.txt)
foreach(example ${FOCURA_EXAMPLES})
  # Notepad of older Windows shows LF-only files as one long line.
  configure_file(${PROJECT_SOURCE_DIR}/examples/${example}
                 ${CMAKE_CURRENT_BINARY_DIR}/examples/${example} NEWLINE_STYLE CRLF)
  get_filename_component(folder examples/${example} DIRECTORY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/examples/${example} DESTINATION ${folder})
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME focura)
set(CPACK_PACKAGE_VENDOR "${FOCURA_COMPANY}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${FOCURA_PRODUCT_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "focura-${PROJECT_VERSION}-win64")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
