# `make package`: a Debian package of what `cmake --install` puts in place,
# its dependencies worked out by dpkg-shlibdeps. A native package: Ventrel is
# its own upstream, so the version has no Debian revision.
if(APPLE)
  return()
endif()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ventrel)
add_custom_command(OUTPUT changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog changelog
  COMMAND gzip -9nf changelog
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog VERBATIM)
add_custom_target(ventrel_changelog ALL DEPENDS changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ventrel)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ventrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ventrel)
set(CPACK_PACKAGE_VENDOR "Ventrel Project")
set(CPACK_PACKAGE_CONTACT "Ventrel Project <hello@ventrel.app>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ventrel.app")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find the private libraries to know they need no package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/${VENTREL_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[resize and snap the focused window from the system tray
Ventrel puts an icon in the system tray whose menu lists window sizes
(five built in, plus your own) and seven snap positions: the halves and
thirds of the screen. Choosing one resizes or moves the focused window
of the application in front. The same actions are commands, for keyboard
shortcuts.]])
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
