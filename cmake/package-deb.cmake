# A Debian package of pelmix-cli, its man page and its bash completion:
#   cmake --build --preset native && cpack --config build/native/CPackConfig.cmake -B build/native/package
# gives build/native/package/pelmix-cli_<version>_<arch>.deb. The program is linked
# statically, so the package depends on nothing.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmix-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pelmix)
set(CPACK_PACKAGE_CONTACT "Pelmix developers <pelmix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show, stamp and strip the 128-byte tag trailer of .mp3 files")
set(CPACK_PACKAGE_DESCRIPTION "pelmix-cli reads and writes only the last 128 bytes of an .mp3 file: \
the trailer that holds title, artist, album, year, comment, track number and genre.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
include(CPack)
