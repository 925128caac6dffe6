# CPack runs this in the staging tree before it builds the Debian package: Debian keeps
# the commands of games in /usr/games. The launcher finds the data from where it lies,
# and /usr/games is as deep as /usr/bin, so it works unchanged from there.
file(GLOB snow_launchers ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/snowdemo)
foreach(launcher IN LISTS snow_launchers)
  get_filename_component(bin_dir ${launcher} DIRECTORY)
  get_filename_component(prefix ${bin_dir} DIRECTORY)
  file(MAKE_DIRECTORY ${prefix}/games)
  file(RENAME ${launcher} ${prefix}/games/snowdemo)
  file(GLOB left_in_bin ${bin_dir}/*)
  if(NOT left_in_bin)
    file(REMOVE_RECURSE ${bin_dir})
  endif()
endforeach()
