# The Debian package of everything `cmake --install` puts in place: `cpack -G DEB` in the
# build folder makes dorvik-explorer_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dorvik-explorer)
set(CPACK_PACKAGE_VENDOR "Dorvik Explorer developers")
set(CPACK_PACKAGE_CONTACT "Dorvik Explorer developers <dorvik-explorer@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manage the clips on a Dorvik video playback unit")
# One line of the control file's description each.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Dorvik Explorer shows the two drives of a Dorvik video playback unit side by"
       "side over an RS-232 serial line, copies clips between them, deletes, renames"
       "and formats, plays a clip on the unit's output and reads its firmware revision."
       "The package also holds dorvik, the unit from the command line for scripts and"
       "schedules, and dorvik-unit-sim, a simulated unit on a pseudo-terminal for"
       "trying the programs without the hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
