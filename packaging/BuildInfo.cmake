# Facts of the build that the code needs: the version (the project's, the one
# place it is written) and the install layout. Targets that use them link
# lintorra_build_info and include "packaging/Version.h" or
# "packaging/InstallLayout.h".
include(GNUInstallDirs)

# The desktop entry and AppStream name the program by this; it follows the
# home page (Install.cmake) reversed.
set(LINTORRA_APP_ID example.lintorra.Lintorra)
file(RELATIVE_PATH LINTORRA_DESKTOP_ENTRY_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/applications/${LINTORRA_APP_ID}.desktop)

set(LINTORRA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${LINTORRA_GENERATED_DIR}/packaging/Version.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/InstallLayout.h.in ${LINTORRA_GENERATED_DIR}/packaging/InstallLayout.h @ONLY)
add_library(lintorra_build_info INTERFACE)
target_include_directories(lintorra_build_info INTERFACE ${LINTORRA_GENERATED_DIR})
