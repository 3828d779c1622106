# A Debian package of pelmix-cli, its man page, its bash completion, its copyright and changelog:
#   cmake --build --preset native && cpack --config build/native/CPackConfig.cmake -B build/native/package
# gives build/native/package/pelmix-cli_<version>_<arch>.deb. The program is linked
# statically, so the package depends on nothing.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmix-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pelmix)
set(CPACK_PACKAGE_CONTACT "Pelmix developers <pelmix@example.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pelmix.example.org/)
# The words people search for: `apt search id3` and `man -k id3` find it by them.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show, stamp and strip ID3v1 and ID3v1.1 tags of MP3 files")
# One line of the control file each: cpack indents them.
set(CPACK_PACKAGE_DESCRIPTION "pelmix-cli views and edits the ID3v1 tag of MP3 files, in its ID3v1.1
form with a track number: title, artist, album, year, comment, track number
and genre. It reads and writes only the last 128 bytes of a file, where that
tag lies, and leaves ID3v2 tags alone. It stamps whole albums at once, with
consecutive track numbers or titles or with fields taken from the file names,
and strips tags; every value is checked before any file is touched.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

# What Debian asks of every package beside the program: its copyright and changelog in
# /usr/share/doc, the changelog compressed. The override names the one lintian error that is
# a choice (see the file).
include(GNUInstallDirs)
set(pelmix_deb_docs ${PROJECT_BINARY_DIR}/deb)
string(TIMESTAMP pelmix_deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/cmake/deb/changelog.in ${pelmix_deb_docs}/changelog @ONLY)
find_program(PELMIX_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${pelmix_deb_docs}/changelog.gz
  COMMAND ${PELMIX_GZIP} -9 -n -k -f changelog
  WORKING_DIRECTORY ${pelmix_deb_docs}
  DEPENDS ${pelmix_deb_docs}/changelog
  COMMENT "Compressing the changelog")
add_custom_target(pelmix_deb_changelog ALL DEPENDS ${pelmix_deb_docs}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/deb/copyright ${pelmix_deb_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pelmix-cli)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/deb/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pelmix-cli)
include(CPack)
