# What `cmake --install` puts where (GNU install directories): the two
# programs, their manual pages, and for the desktop program its menu entry,
# icons and AppStream metadata; the Debian copyright and changelog files.

# Facts the packaging files share with the code and with each other.
set(LINTORRA_RELEASE_DATE 2026-12-10)  # of the version in project(); the manual pages and the changelog show it
set(LINTORRA_DEVELOPER "Lintorra developers")
set(LINTORRA_HOMEPAGE "https://lintorra.example" CACHE STRING "Home page of the project, where its screenshots are")
set(LINTORRA_MAINTAINER "Lintorra developers <maintainers@lintorra.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
string(SUBSTRING ${LINTORRA_RELEASE_DATE} 0 4 LINTORRA_RELEASE_YEAR)
execute_process(COMMAND date -u -R -d ${LINTORRA_RELEASE_DATE} OUTPUT_VARIABLE LINTORRA_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(LINTORRA_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)
find_program(GZIP_PROGRAM gzip REQUIRED)

# Manual pages and the changelog are installed compressed, as Debian wants
# them; -n keeps the package the same from build to build.
function(lintorra_gzip_file Source Compressed)
  add_custom_command(
    OUTPUT ${Compressed}
    COMMAND ${GZIP_PROGRAM} -9n -c ${Source} > ${Compressed}
    DEPENDS ${Source}
    VERBATIM)
endfunction()

function(lintorra_man_page Name)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${Name}.1.in ${LINTORRA_PACKAGING_DIR}/${Name}.1 @ONLY)
  lintorra_gzip_file(${LINTORRA_PACKAGING_DIR}/${Name}.1 ${LINTORRA_PACKAGING_DIR}/${Name}.1.gz)
  install(FILES ${LINTORRA_PACKAGING_DIR}/${Name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(LINTORRA_PACKAGING_OUTPUTS ${LINTORRA_PACKAGING_OUTPUTS} ${LINTORRA_PACKAGING_DIR}/${Name}.1.gz PARENT_SCOPE)
endfunction()

set(LINTORRA_PACKAGING_OUTPUTS)
install(TARGETS lintorra-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
lintorra_man_page(lintorra-cli)

configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${LINTORRA_PACKAGING_DIR}/changelog @ONLY)
lintorra_gzip_file(${LINTORRA_PACKAGING_DIR}/changelog ${LINTORRA_PACKAGING_DIR}/changelog.gz)
list(APPEND LINTORRA_PACKAGING_OUTPUTS ${LINTORRA_PACKAGING_DIR}/changelog.gz)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${LINTORRA_PACKAGING_DIR}/copyright @ONLY)
install(FILES ${LINTORRA_PACKAGING_DIR}/copyright ${LINTORRA_PACKAGING_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lintorra)

if(LINTORRA_UI)
  install(TARGETS lintorra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  lintorra_man_page(lintorra)

  # The file name is what tells the program it runs from an install
  # (packaging/InstallLayout.h).
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintorra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${LINTORRA_APP_ID}.desktop)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/lintorra.metainfo.xml.in
                 ${LINTORRA_PACKAGING_DIR}/${LINTORRA_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${LINTORRA_PACKAGING_DIR}/${LINTORRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon: the drawing itself, and the sizes a menu shows rendered from it.
  set(LINTORRA_ICON ${CMAKE_CURRENT_LIST_DIR}/lintorra.svg)
  set(LINTORRA_ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${LINTORRA_ICON} DESTINATION ${LINTORRA_ICON_DIR}/scalable/apps)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  foreach(Size 16 22 24 32 48 64 128 256)
    set(Png ${LINTORRA_PACKAGING_DIR}/icons/${Size}x${Size}/lintorra.png)
    add_custom_command(
      OUTPUT ${Png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${LINTORRA_PACKAGING_DIR}/icons/${Size}x${Size}
      COMMAND ${RSVG_CONVERT} --width ${Size} --height ${Size} --output ${Png} ${LINTORRA_ICON}
      DEPENDS ${LINTORRA_ICON}
      VERBATIM)
    install(FILES ${Png} DESTINATION ${LINTORRA_ICON_DIR}/${Size}x${Size}/apps)
    list(APPEND LINTORRA_PACKAGING_OUTPUTS ${Png})
  endforeach()
endif()

add_custom_target(lintorra_packaging_files ALL DEPENDS ${LINTORRA_PACKAGING_OUTPUTS})
