# The Debian package (scripts/package): cpack -G DEB in a build configured with the prefix /usr.
# The package puts the privileged helper, its bus policy, activation file and polkit action in
# place, so an installed window never installs anything itself.
set(CINDERVAULT_PACKAGE_MAINTAINER "Cindervault developers <cindervault@example.org>" CACHE STRING
    "The maintainer named in the Debian package")

# What Debian keeps of every package in its documentation folder: the copyright and the changelog,
# compressed without a time stamp.
set(package_doc ${CMAKE_BINARY_DIR}/package-doc)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/copyright.in ${package_doc}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in ${package_doc}/changelog @ONLY)
add_custom_command(OUTPUT ${package_doc}/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${package_doc}/changelog > ${package_doc}/changelog.gz
    DEPENDS ${package_doc}/changelog
    VERBATIM)
add_custom_target(cindervault_package_doc ALL DEPENDS ${package_doc}/changelog.gz)
install(FILES ${package_doc}/copyright ${package_doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/cindervault)
# Dolphin of KDE 6 takes service menus only when they are executable; lintian is told so.
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME cindervault)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cindervault)
set(CPACK_PACKAGE_VENDOR Ostrevane)
set(CPACK_PACKAGE_CONTACT ${CINDERVAULT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "secure deletion of files, free space and volumes")
# The extended description, in lines short enough for package managers.
set(CPACK_PACKAGE_DESCRIPTION
    "Cindervault destroys data for real, and touches nothing else. It overwrites
files in place, pass by pass, with one of 21 overwrite methods, renames them to
random names and deletes them. It also wipes the free space of a volume, erases
a volume completely, cleans log and cache folders, and keeps a deletion report
as proof. Root-only work goes through a small privileged helper authorized by
polkit. cindervault-cli runs the same engine from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CINDERVAULT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws its SVG images through Qt's image plugins, which no binary links; Qt's own
# dialogs (file panels, standard buttons) read their German texts from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n")
# The helper needs the system bus and polkit; without them the window and the command line still
# work, only root-only work is refused.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus, polkitd, pkexec")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The maintainer scripts: a running helper stops before removal and upgrade, a build's
# self-installed helper goes when the package comes, and the bus and systemd reload.
get_property(HELPER_MAINTENANCE GLOBAL PROPERTY CINDERVAULT_HELPER_MAINTENANCE)
set(PACKAGE_HELPER ${CMAKE_INSTALL_FULL_LIBEXECDIR}/cindervault/cindervault-helper)
set(package_scripts)
foreach(script prerm postinst postrm)
    configure_file(${PROJECT_SOURCE_DIR}/resources/debian/${script}.in ${CMAKE_BINARY_DIR}/package-scripts/${script} @ONLY)
    list(APPEND package_scripts ${CMAKE_BINARY_DIR}/package-scripts/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_scripts})
include(CPack)
