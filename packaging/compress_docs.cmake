# CPack runs this in the staging tree before it builds the Debian package: Debian
# wants manual pages and the changelog compressed, with no time stamp in the gzip
# header so that the package is the same on every build.
file(GLOB_RECURSE snow_docs
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*.6
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/snowdemo/changelog)
foreach(doc IN LISTS snow_docs)
  execute_process(COMMAND gzip -9nf ${doc} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
