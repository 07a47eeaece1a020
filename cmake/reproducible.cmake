# Two builds of the same commit, in two folders at two times, give the same
# executable: the source and build folders are mapped to "." in what the
# compiler records (__FILE__, debugging information), and the Windows linker
# writes no time into the PE header. The sources use no __DATE__ or __TIME__.
# The packages get their times from SOURCE_DATE_EPOCH (cmake/package.cmake).
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-ffile-prefix-map=a=b VEXLAR_HAS_FILE_PREFIX_MAP)
if(VEXLAR_HAS_FILE_PREFIX_MAP)
  add_compile_options(-ffile-prefix-map=${CMAKE_CURRENT_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_CURRENT_BINARY_DIR}/=)
endif()
if(MINGW)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# Folders an install makes get these modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
