# Installing the game like a desktop game, and its Debian package (tools/package.sh).
#
# PREFIX/lib/quarrelix/ holds the executable with its whole generated content (data.json,
# image/, sound/, music/), where the game finds it from any working directory;
# PREFIX/bin/quarrelix is a link to it. A player's settings.txt and replays/ in build/game are
# never installed: an installed game the player cannot write keeps them in the player's data
# directory instead.
set(QRX_INSTALL_DIR lib/quarrelix)
install(TARGETS quarrelix RUNTIME DESTINATION ${QRX_INSTALL_DIR})
install(FILES ${QRX_GAME_DIR}/data.json DESTINATION ${QRX_INSTALL_DIR})
install(DIRECTORY ${QRX_GAME_DIR}/image ${QRX_GAME_DIR}/sound ${QRX_GAME_DIR}/music
        DESTINATION ${QRX_INSTALL_DIR})
install(CODE [[
  set(link "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/quarrelix")
  message(STATUS "Installing: ${link} -> ../lib/quarrelix/quarrelix")
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(CREATE_LINK ../lib/quarrelix/quarrelix "${link}" SYMBOLIC)
]])
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quarrelix.desktop DESTINATION share/applications)
# The lobby server, for whoever runs one on a public host; its service is not enabled.
install(TARGETS quarrelix-lobby RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quarrelix-lobby.service DESTINATION lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quarrelix.svg
        DESTINATION share/icons/hicolor/scalable/apps)

# The package's version is the game's own (kGameVersion), e.g. 0.1.0.5a: a valid Debian
# version as it is.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/replays/replays.h QRX_VERSION_LINE REGEX "kGameVersion = \"")
string(REGEX REPLACE ".*kGameVersion = \"([^\"]*)\".*" "\\1" QRX_VERSION "${QRX_VERSION_LINE}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarrelix)
set(CPACK_PACKAGE_VERSION ${QRX_VERSION})
set(CPACK_PACKAGE_VENDOR "Quarrelix developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional one-on-one fighting game")
# The long description, its lines kept short as Debian control files like them.
set(CPACK_PACKAGE_DESCRIPTION [[Two players on one keyboard or on game controllers, or one player
against the computer, fight with combos of chained attacks on three
stages. Replays, a tutorial and a training room come with it.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # quarrelix_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quarrelix developers <maintainers@quarrelix.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies on the runtime libraries, found by dpkg-shlibdeps from the executable as
# CPack packs (nothing to keep in step by hand).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/packaging/dependencies.cmake)
set(CPACK_QRX_EXECUTABLE ${QRX_GAME_DIR}/quarrelix)
set(CPACK_QRX_SHLIBDEPS_DIR ${CMAKE_BINARY_DIR}/shlibdeps)
include(CPack)
