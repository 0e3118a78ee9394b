# Read by CPack as it packs (CPACK_PROJECT_CONFIG_FILE): the Debian package's dependencies on
# the runtime libraries (SDL2, libpng, zlib, Ogg Vorbis, X11, the C and C++ libraries), found by
# dpkg-shlibdeps (dpkg-dev) from the game's executable. CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS
# does the same, but first runs `file` on each of the package's ~800 files to find the
# executables: a minute or more on a busy two-core machine, for the one executable we know.
if(CPACK_GENERATOR STREQUAL "DEB")
  # dpkg-shlibdeps wants a debian/control in its working directory; an empty one will do.
  file(MAKE_DIRECTORY "${CPACK_QRX_SHLIBDEPS_DIR}/debian")
  file(WRITE "${CPACK_QRX_SHLIBDEPS_DIR}/debian/control" "")
  execute_process(COMMAND dpkg-shlibdeps -O "${CPACK_QRX_EXECUTABLE}"
                  WORKING_DIRECTORY "${CPACK_QRX_SHLIBDEPS_DIR}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE found ERROR_VARIABLE problem)
  string(REGEX MATCH "shlibs:Depends=([^\n]*)" found "${found}")
  if(NOT result EQUAL 0 OR NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) found no dependencies of "
                        "${CPACK_QRX_EXECUTABLE}: ${problem}")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
