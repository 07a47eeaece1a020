# The one version: project(vexlar VERSION ...) in CMakeLists.txt. Everything
# else is derived from it here:
#
#   VEXLAR_VERSION_TEXT   the version as `vexlar --version` shows it: the minor
#                         number in two digits, the patch number as the build
#                         (1.0.10 is "1.00.10"), for the manual page and the
#                         Windows version resource
#   VEXLAR_RELEASE_DATE   the date of the version's heading in CHANGELOG.md
#                         ("## [1.0.10] - 2026-12-07"), the manual page's date,
#                         so that it does not change from build to build
#
# The packages carry PROJECT_VERSION itself.

if(PROJECT_VERSION_MINOR LESS 10)
  set(VEXLAR_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
else()
  set(VEXLAR_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
endif()

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
file(READ ${PROJECT_SOURCE_DIR}/CHANGELOG.md vexlar_changelog)
string(REPLACE "." "\\." vexlar_version_pattern ${PROJECT_VERSION})
if(vexlar_changelog MATCHES "\n## \\[${vexlar_version_pattern}\\] - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])")
  set(VEXLAR_RELEASE_DATE ${CMAKE_MATCH_1})
else()
  message(WARNING "CHANGELOG.md has no heading \"## [${PROJECT_VERSION}] - YYYY-MM-DD\"")
  set(VEXLAR_RELEASE_DATE unreleased)
endif()
unset(vexlar_changelog)
unset(vexlar_version_pattern)
