# Installation and packages.
#
# Linux (GNU layout): bin/vexlar, share/vexlar/DynO.cpp and share/vexlar/DynO/
# (found by the installed program through ../share/vexlar/), the README,
# LICENSE and CHANGELOG.md under share/doc/vexlar/, the manual page
# share/man/man1/vexlar.1 and the bash completion
# share/bash-completion/completions/vexlar. `cmake --install build --prefix DIR` installs it;
# `cd build && cpack` makes vexlar-<version>-Linux.tar.gz and a .deb. The
# .deb also gets what Debian asks of a package: the manual page compressed,
# a Debian changelog made from CHANGELOG.md, and a machine-readable
# copyright file (cmake/cpack-stage.cmake).
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
configure_file(packaging/vexlar.1.in vexlar.1 @ONLY)
if(NOT WIN32)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vexlar.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES packaging/vexlar.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vexlar)
endif()

set(CPACK_PACKAGE_NAME vexlar)
set(CPACK_PACKAGE_VENDOR "the vexlar authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts 3D editor missions (.kolvo) into mission.pld")
# No line of it may start with '.': Debian reads such a line as a control
# statement.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "vexlar reads a mission saved by a military simulation game's 3D editor\n"
    "(a .kolvo text file) and writes mission.pld, the file the game's 2D map\n"
    "editor reads. Object compositions are expanded into empty vehicles with\n"
    "the composition data of DynO.cpp and its scripts. A mode word chooses the\n"
    "section of mission.pld that receives the mission; --merge keeps the\n"
    "others, --check lists what a conversion would leave out.")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The debugging information stays in the build tree.
set(CPACK_STRIP_FILES ON)
# The .deb: its dependencies read from the executable by dpkg-shlibdeps
# (Debian: dpkg-dev), without which the .deb would claim none.
set(VEXLAR_DEB_MAINTAINER "the vexlar authors <vexlar@example.org>"
    CACHE STRING "Maintainer of the .deb (name <address>), also in its changelog")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VEXLAR_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
find_program(VEXLAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VEXLAR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(NOT WIN32)
  message(STATUS "dpkg-shlibdeps was not found (Debian: apt-get install dpkg-dev): "
                 "the .deb gets no dependencies")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(NOT WIN32)
  include(cmake/debian-changelog.cmake)
  vexlar_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md
                          ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog ${VEXLAR_DEB_MAINTAINER})
endif()

# Every package is the same bytes from every build of a commit
# (cmake/cpack-options.cmake.in: its time; cmake/cpack-sums.cmake: sorted
# archive entries, fixed owners, modes and times), and SHA256SUMS beside the
# packages lists them all.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
find_package(Git QUIET)
find_package(Python3 COMPONENTS Interpreter QUIET)
set(CPACK_VEXLAR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_VEXLAR_BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR})
set(CPACK_VEXLAR_GIT ${GIT_EXECUTABLE})
set(CPACK_VEXLAR_PYTHON ${Python3_EXECUTABLE})
configure_file(cmake/cpack-options.cmake.in CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-stage.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-sums.cmake)

# The source package: every file of the tree that git does not track is left
# out (build folders, outputs, editor files), and so is .git itself.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-source)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git$")
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
