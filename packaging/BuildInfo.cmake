# Facts of the build that the code needs: the version (the project's, the one
# place it is written). Targets that use it link lintorra_build_info and
# include "packaging/Version.h".
set(LINTORRA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${LINTORRA_GENERATED_DIR}/packaging/Version.h @ONLY)
add_library(lintorra_build_info INTERFACE)
target_include_directories(lintorra_build_info INTERFACE ${LINTORRA_GENERATED_DIR})
