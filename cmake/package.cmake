# Installation and packages.
#
# Linux (GNU layout): bin/vexlar, share/vexlar/DynO.cpp and share/vexlar/DynO/
# (found by the installed program through ../share/vexlar/), the README,
# LICENSE and CHANGELOG.md under share/doc/vexlar/. `cmake --install build --prefix DIR` installs it;
# `cd build && cpack` makes vexlar-<version>-Linux.tar.gz and a .deb.
#
# Windows: one folder with vexlar.exe and the composition data beside it, as
# a user unpacks it, with the user README, LICENSE.txt and CHANGELOG.md:
# `cpack -G ZIP` makes vexlar-<version>-win64.zip.
#
# `cpack --config CPackSourceConfig.cmake` (target package_source) packs the
# files git tracks, and nothing else of the working tree.

include(GNUInstallDirs)
if(WIN32)
  set(VEXLAR_BIN_DIR .)
  set(VEXLAR_DATA_DIR .)
  set(VEXLAR_DOC_DIR .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(VEXLAR_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(VEXLAR_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vexlar)
  set(VEXLAR_DOC_DIR ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
install(TARGETS vexlar RUNTIME DESTINATION ${VEXLAR_BIN_DIR})
install(FILES data/DynO.cpp DESTINATION ${VEXLAR_DATA_DIR})
install(DIRECTORY data/DynO DESTINATION ${VEXLAR_DATA_DIR})
install(FILES CHANGELOG.md DESTINATION ${VEXLAR_DOC_DIR})
if(WIN32)
  # A user of the ZIP gets a README about running the program, not building
  # it, and texts that Notepad shows with their line breaks.
  configure_file(packaging/README.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
          DESTINATION ${VEXLAR_DOC_DIR})
else()
  install(FILES README.md LICENSE DESTINATION ${VEXLAR_DOC_DIR})
endif()
install(FILES examples/attack.kolvo DESTINATION ${VEXLAR_DOC_DIR}/examples)

set(CPACK_PACKAGE_NAME vexlar)
set(CPACK_PACKAGE_VENDOR "the vexlar authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts 3D editor missions (.kolvo) into mission.pld")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The debugging information stays in the build tree.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the vexlar authors <vexlar@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# The source package: every file of the tree that git does not track is left
# out (build folders, outputs, editor files), and so is .git itself.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-source)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git$")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(
    COMMAND ${GIT_EXECUTABLE} ls-files --others --directory
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE untracked
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE "\n" ";" untracked "${untracked}")
  # The paths go in as patterns; a '.' in them matches itself among others.
  foreach(path IN LISTS untracked)
    list(APPEND CPACK_SOURCE_IGNORE_FILES "^${PROJECT_SOURCE_DIR}/${path}")
  endforeach()
endif()
include(CPack)
