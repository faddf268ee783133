# Installation and the Debian package.
#
# `cmake --install` lays out the three programs in bin, their images in
# share/sociantes, the desktop entry, the icons of the hicolor theme (drawn
# once as an SVG, rendered to PNG sizes at build time), the software
# centre's metainfo, the manual pages (gzip-compressed), and the
# documentation with its copyright file and changelog in share/doc/sociantes.
# CPack turns the same layout under /usr into sociantes_VERSION_amd64.deb
# (`make package`). Included last from CMakeLists.txt, so that every program
# target is known here.

set(SOC_APP_ID org.sociantes.Sociantes)   # desktop entry, metainfo and icon name
set(SOC_RELEASE_DATE 2026-12-09)          # the date of this version's release
set(SOC_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 00:00:00 +0000")
set(SOC_MAINTAINER "Sociantes maintainers <maintainers@users.noreply.c-seed-f08b15aa.example>")
set(SOC_DIST ${CMAKE_SOURCE_DIR}/dist)
set(SOC_GEN ${CMAKE_BINARY_DIR}/dist)     # files made by the build for installation
file(MAKE_DIRECTORY ${SOC_GEN})

# Directories are made rwxr-xr-x whatever the umask of the one who installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The programs. sociantes starts spoolet from its own directory.
install(TARGETS sociantes spoolet sociantes-driver DESTINATION ${CMAKE_INSTALL_BINDIR})

# Toolbar and dialog images, and the window icon, looked up beside bin.
file(GLOB SOC_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.png)
install(FILES ${SOC_IMAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/sociantes)

# Desktop entry and icons: every PNG size rendered from the one SVG.
install(FILES ${SOC_DIST}/${SOC_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(SOC_ICON_SIZES 16 22 24 32 48 64 128 256)
set(SOC_ICON_PNGS)
foreach(size IN LISTS SOC_ICON_SIZES)
  set(png ${SOC_GEN}/icons/${size}x${size}/${SOC_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SOC_GEN}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${SOC_DIST}/sociantes.svg
    DEPENDS ${SOC_DIST}/sociantes.svg
    COMMENT "Rendering the ${size}x${size} icon" VERBATIM)
  list(APPEND SOC_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${SOC_DIST}/sociantes.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${SOC_APP_ID}.svg)

# The software centre's description, with this version and its date.
configure_file(${SOC_DIST}/${SOC_APP_ID}.metainfo.xml.in ${SOC_GEN}/${SOC_APP_ID}.metainfo.xml @ONLY)
install(FILES ${SOC_GEN}/${SOC_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog: versioned, then compressed as Debian wants
# them (gzip -9n: no name, no time stamp, so the bytes do not change).
find_program(GZIP gzip REQUIRED)
set(SOC_MAN_PAGES sociantes spoolet sociantes-driver)
set(SOC_GZ_FILES)
foreach(page IN LISTS SOC_MAN_PAGES)
  configure_file(${CMAKE_SOURCE_DIR}/man/${page}.1.in ${SOC_GEN}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${SOC_GEN}/man/${page}.1.gz
    COMMAND ${GZIP} -9nkf ${SOC_GEN}/man/${page}.1
    DEPENDS ${SOC_GEN}/man/${page}.1 VERBATIM)
  list(APPEND SOC_GZ_FILES ${SOC_GEN}/man/${page}.1.gz)
  install(FILES ${SOC_GEN}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${SOC_DIST}/changelog.in ${SOC_GEN}/changelog @ONLY)
add_custom_command(OUTPUT ${SOC_GEN}/changelog.gz
  COMMAND ${GZIP} -9nkf ${SOC_GEN}/changelog
  DEPENDS ${SOC_GEN}/changelog VERBATIM)
list(APPEND SOC_GZ_FILES ${SOC_GEN}/changelog.gz)
add_custom_target(dist_files ALL DEPENDS ${SOC_ICON_PNGS} ${SOC_GZ_FILES})

# Documentation: the README, the docs folder beside it (the guide and its
# pictures, so that the README's links still work), copyright and changelog.
set(SOC_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/sociantes)
install(FILES README.md ${SOC_DIST}/copyright ${SOC_GEN}/changelog.gz DESTINATION ${SOC_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${SOC_DOCDIR}/docs
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.jpg" PATTERN "*.svg")

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sociantes)
set(CPACK_PACKAGE_VENDOR "The Sociantes developers")
set(CPACK_PACKAGE_CONTACT ${SOC_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "member database of an association")
set(CPACK_PACKAGE_DESCRIPTION "Sociantes keeps the members of a club or a society in plain text
files and produces member listings, letters from templates, address labels,
member cards and record cards, e-mail to the members, spreadsheet exports and
imports, history files and archives. Several workstations can share one
network directory.

The package holds the main window sociantes, the print scheduler spoolet,
which prints long runs of letters or labels part by part, and
sociantes-driver, which runs the same commands from a script.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries: the fonts the printed pages name, and xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
