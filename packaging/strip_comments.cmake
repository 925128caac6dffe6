# CPack runs this in the staging tree before it builds the Debian package: its strip
# keeps the compilers' .comment section, which Debian's own packaging removes as well.
file(GLOB_RECURSE snow_programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/libexec/snowdemo/snowdemo)
foreach(program IN LISTS snow_programs)
  execute_process(COMMAND objcopy --remove-section=.comment ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
