# vnd_embed_text(TARGET NAMESPACE SYMBOL FILE): compiles FILE into TARGET as
# `const char* NAMESPACE::SYMBOL()`, regenerated whenever FILE changes.
function(vnd_embed_text target ns symbol file)
  get_filename_component(name ${file} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded_${name}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DNS=${ns} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_text_script.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/embed_text_script.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
