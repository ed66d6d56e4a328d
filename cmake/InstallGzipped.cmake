# Debian wants manual pages and changelogs compressed with gzip at its best
# and without the name and time stamp that would make builds differ.
#
#   quarrow_install_gzipped(FILE DESTINATION [RENAME NAME])
#
# compresses FILE (a generated file or a source) at build time into
# NAME.gz (by default FILE's own name) and installs it into DESTINATION.
function(quarrow_install_gzipped file destination)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "RENAME" "")
  get_filename_component(name "${file}" NAME)
  if(arg_RENAME)
    set(name "${arg_RENAME}")
  endif()
  string(MAKE_C_IDENTIFIER "${destination}/${name}" id)
  set(plain "${CMAKE_CURRENT_BINARY_DIR}/gzipped/${id}/${name}")
  add_custom_command(
    OUTPUT "${plain}.gz"
    COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${plain}"
    COMMAND gzip -9nf "${plain}"
    DEPENDS "${file}"
    VERBATIM)
  add_custom_target(gzip_${id} ALL DEPENDS "${plain}.gz")
  install(FILES "${plain}.gz" DESTINATION "${destination}")
endfunction()
