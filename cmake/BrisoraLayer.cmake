# brisora_layer(<target> [MOC] SOURCES <file>... [LINKS <target>...])
# One layer: a static library of this folder's files whose public include folder is this
# folder alone, so a file can include only what its target links, never a layer above.
# A header is listed only where moc must see it without a source of the same name.
# moc runs only for layers that ask for it, so the fuzz build (which has none) can add the
# Qt-free ones.
function(brisora_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "MOC" "" "SOURCES;LINKS")
  add_library(${target} STATIC ${layer_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${layer_LINKS})
  set_target_properties(${target} PROPERTIES AUTOMOC ${layer_MOC} AUTORCC OFF AUTOUIC OFF)
endfunction()
