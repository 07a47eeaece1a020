# Run by cpack once the files of a package are staged, before it packs them
# (CPACK_PRE_BUILD_SCRIPTS). For the .deb only: the manual page compressed
# where Debian expects it (share/man/man1/vexlar.1.gz), the Debian changelog
# and copyright file in share/doc/vexlar/, and lintian's overrides, each
# with its reason. gzip -n keeps the file's name and time out of the
# compressed bytes. Then every mode is set as Debian wants it whatever the
# umask was (CPack makes the staged folders with it): folders 755, files
# 644, executables 755.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

find_program(VEXLAR_GZIP gzip)
find_program(VEXLAR_CHMOD chmod)
if(NOT VEXLAR_GZIP OR NOT VEXLAR_CHMOD)
  message(FATAL_ERROR "the .deb needs gzip and chmod")
endif()
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")

file(COPY_FILE "${CPACK_VEXLAR_BINARY_DIR}/debian/changelog" "${doc}/changelog")
file(COPY_FILE "${CPACK_VEXLAR_SOURCE_DIR}/packaging/copyright" "${doc}/copyright")
file(MAKE_DIRECTORY "${root}/share/lintian/overrides")
file(COPY_FILE "${CPACK_VEXLAR_SOURCE_DIR}/packaging/lintian-overrides"
     "${root}/share/lintian/overrides/${CPACK_PACKAGE_NAME}")
foreach(file "${root}/share/man/man1/vexlar.1" "${doc}/changelog")
  execute_process(COMMAND "${VEXLAR_GZIP}" -9nf "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip -9n ${file} failed")
  endif()
endforeach()

execute_process(COMMAND "${VEXLAR_CHMOD}" -R u+rwX,go=rX "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "chmod -R ${CPACK_TEMPORARY_INSTALL_DIRECTORY} failed")
endif()
