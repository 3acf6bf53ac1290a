# Embeds an application manifest into a program. MinGW's resource compiler takes it as the
# program's manifest resource; the Visual Studio linker embeds a .manifest source file by itself
# and would report a duplicate resource if the resource script named it too (that build is not
# tried here).
include_guard(GLOBAL)

function(focura_embed_manifest target manifest)
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
