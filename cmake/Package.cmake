# `make package`: a Debian package of the installation, written into the build folder. Its
# Depends line comes from the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glossator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_CONTACT "Glossator developers <glossator@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "documentation generator for Object Pascal units")
# CPack puts the summary in front as the synopsis line; this is the long text below it.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Glossator reads the interface part of Object Pascal (Delphi, Free Pascal)\n"
    "units and their {** } documentation comments and writes a frame-based HTML\n"
    "documentation set: index pages of units, classes, functions and constants,\n"
    "one page per unit and per class. It takes unit files, folders, Lazarus\n"
    "packages and projects, Delphi projects and selection files on its command\n"
    "line, and has a desktop window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/glossator")
set(CPACK_STRIP_FILES ON)
# Directories owned by the system keep their usual mode in the archive.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
