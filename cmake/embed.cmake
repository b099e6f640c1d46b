# embed_file(input output symbol): writes a C++ file defining
#   extern const unsigned char symbol[]; extern const std::size_t symbol_size;
# with the bytes of input, regenerated whenever input changes.
function(embed_file input output symbol)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed_run.cmake
    DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/embed_run.cmake
    VERBATIM)
endfunction()
