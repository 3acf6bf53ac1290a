# Embeds an application manifest into a program. MinGW's resource compiler takes it as the
# program's manifest resource; the Visual Studio linker embeds a .manifest source file by itself
# and would report a duplicate resource if the resource script named it too (that build is not
# tried here).
include_guard(GLOBAL)

function(focura_embed_manifest target manifest)
  # The program's own identity names its processor; a 32-bit program declaring amd64 would not
  # start on Windows (a side-by-side configuration error).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    get_filename_component(name ${manifest} NAME)
    file(READ ${manifest} text)
    string(REPLACE "processorArchitecture=\"amd64\"" "processorArchitecture=\"x86\"" text "${text}")
    set(x86 ${CMAKE_CURRENT_BINARY_DIR}/x86/${name})
    file(CONFIGURE OUTPUT ${x86} CONTENT "${text}" @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
    set(manifest ${x86})
  endif()
  if(MSVC)
    target_sources(${target} PRIVATE ${manifest})
    return()
  endif()
  get_filename_component(stem ${manifest} NAME_WE)
  set(MANIFEST_FILE ${manifest})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${stem}-manifest.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/manifest.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
endfunction()
