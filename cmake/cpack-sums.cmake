# Run by cpack once a generator has made its packages, before it copies them
# out (CPACK_POST_BUILD_SCRIPTS):
#
# - each package is rewritten by packaging/normalize_archive.py: in a
#   .tar.gz or ZIP, entries sorted by name, owned by root, modes 755 or
#   644, every time SOURCE_DATE_EPOCH (CPack's archives keep the order in
#   which the folder listed the files, and a ZIP's local times); in a .deb
#   (sorted, owned by root, its times SOURCE_DATE_EPOCH as CPack makes it)
#   the modes of its three members, which CPack takes from the umask.
# - SHA256SUMS beside the packages gets a line "<sha256>  <file name>" for
#   each of them, in the form `sha256sum -c SHA256SUMS` reads; the lines of
#   other packages still there are kept, sorted by name.
if(CPACK_PACKAGE_DIRECTORY)
  set(out "${CPACK_PACKAGE_DIRECTORY}")
else()
  set(out "${CPACK_VEXLAR_BINARY_DIR}")
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.(tar\\.gz|zip|deb)$")
    if(NOT CPACK_VEXLAR_PYTHON)
      message(WARNING "no Python: ${package} keeps CPack's entry order and times")
      continue()
    endif()
    execute_process(COMMAND "${CPACK_VEXLAR_PYTHON}"
                            "${CPACK_VEXLAR_SOURCE_DIR}/packaging/normalize_archive.py" "${package}"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "normalize_archive.py ${package} failed")
    endif()
  endif()
endforeach()

# name -> hash, for the packages made now and those already beside them.
set(names "")
if(EXISTS "${out}/SHA256SUMS")
  file(STRINGS "${out}/SHA256SUMS" lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9a-f]+)  (.+)$" AND EXISTS "${out}/${CMAKE_MATCH_2}")
      set(hash_of_${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
      list(APPEND names "${CMAKE_MATCH_2}")
    endif()
  endforeach()
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${package}" NAME)
  file(SHA256 "${package}" hash_of_${name})
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
set(sums "")
foreach(name IN LISTS names)
  string(APPEND sums "${hash_of_${name}}  ${name}\n")
endforeach()
file(WRITE "${out}/SHA256SUMS" "${sums}")
