# The Windows release: Pelmix-<version>-win64.zip, one folder holding everything a user
# needs side by side, made by `cmake --build --preset windows --target package`.
#
# Its files form a component of their own, so that the zip is flat and takes nothing from
# the install rules meant for other systems; a plain `cmake --install` leaves them out.
set(pelmix_zip_component windows_zip)

# The read-me with the project's version and Windows line ends, for Notepad of any age.
configure_file(${PROJECT_SOURCE_DIR}/res/README-Windows.txt ${PROJECT_BINARY_DIR}/package/README-Windows.txt
               @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Pelmix pelmix-cli
        RUNTIME DESTINATION . COMPONENT ${pelmix_zip_component} EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/res/genre.txt
              ${PROJECT_SOURCE_DIR}/res/Pelmix.html
              ${PROJECT_BINARY_DIR}/package/README-Windows.txt
        DESTINATION . COMPONENT ${pelmix_zip_component} EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Pelmix)
set(CPACK_PACKAGE_VENDOR "The Pelmix developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Pelmix-${PROJECT_VERSION}-win64)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${pelmix_zip_component})
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
# Unzipped, the files land in a folder named like the zip, not loose among the user's.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The programs ship without their symbols (mingw-w64's strip, found with the compiler).
set(CPACK_STRIP_FILES ON)
include(CPack)
