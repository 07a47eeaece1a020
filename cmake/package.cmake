# The release archive: the executable with the sample composition data beside
# it, in the layout vexlar expects (DynO.cpp and the DynO folder next to the
# executable), the README and the bundled example mission.
#
#   cmake --build build-win --target package     (or: cd build-win && cpack -G ZIP)
#
# gives build-win/vexlar-<version>-win64.zip, whose one top folder a Windows user
# unpacks anywhere and runs vexlar.exe from. A Linux build gives the same layout
# as vexlar-<version>-linux.zip.

install(TARGETS vexlar RUNTIME DESTINATION .)
install(FILES data/DynO.cpp README.md DESTINATION .)
install(DIRECTORY data/DynO DESTINATION .)
install(FILES examples/attack.kolvo DESTINATION examples)

if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
else()
  string(TOLOWER ${CMAKE_SYSTEM_NAME} CPACK_SYSTEM_NAME)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vexlar)
set(CPACK_PACKAGE_VENDOR vexlar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts 3D editor missions (.kolvo) into mission.pld")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The debugging information stays in the build tree.
set(CPACK_STRIP_FILES ON)
include(CPack)
