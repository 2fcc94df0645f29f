# The Debian package, built by `make package` (cpack -G DEB in a release
# build). Runtime dependencies come from dpkg-shlibdeps over the installed
# programs; what is only loaded at run time (the SVG image plugin that draws
# the icons, the Qt translations of the standard dialogs) is named here.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VERSION ${QUILLORA_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillora developers")
set(CPACK_PACKAGE_CONTACT "The Quillora developers <maintainers@quillora.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillora.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl and libzip are loaded at run time (mail, picture archives), so the
# library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libcurl4, libzip4")
# The input methods' Qt 6 front ends, so Chinese is typed in place: fcitx5's
# is a package of its own; IBus's ships in libqt6gui6 beside the ibus daemon.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, fcitx5-frontend-qt6, ibus")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "manuscript manager for writers
Quillora keeps manuscripts in library files of its own embedded database
engine, optionally compressed and encrypted, filed in a folder tree and
written in the built-in editor. For each manuscript it records where it was
published and the fee received, counts Chinese characters and English words,
and keeps marks at lines and linked pictures. A separate store holds
reference materials. The user interface is in Chinese.
.
The package also holds qdb, a command-line tool that inspects, changes,
verifies and repairs Quillora's database files.")

include(CPack)
