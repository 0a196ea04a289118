# vnd_layer_headers(TARGET PATH): TARGET's public headers are those under src/PATH, included as
# "PATH/header.h" through an include root of TARGET's own (a link in the build tree), and that
# root is all TARGET hands to whoever links it. A layer therefore sees its own headers and those
# of the layers it links, and an include of a layer above it fails to compile.
function(vnd_layer_headers target path)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  set(link ${root}/${path})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${path} ${link} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
