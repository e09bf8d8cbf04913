# make package: Debian packages built by CPack from the install rules (cmake/Install.cmake).
#   tavelin_<version>_<arch>.deb       the programs, desktop entry, icons, metainfo and man pages
#   tavelin-demo_<version>_all.deb     the demo catalogue in /usr/share/tavelin
# The programs' Depends come from the shared libraries they link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavelin)
set(CPACK_PACKAGE_VENDOR Corvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tavelin maintainers <maintainers@tavelin.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tavelin.org/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program demo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME tavelin)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
# The client library for server catalogues is loaded when one is first used, so the programs do not
# list it among the libraries they link: named here (dpkg-shlibdeps adds the linked ones to it).
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libpq5")
# The start page, the atlases and every box are in Chinese.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS "tavelin-demo")
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "viewer for a catalogue of medical reference pictures
Tavelin shows a catalogue of medical reference pictures in six atlases:
Chinese herbs, acupuncture, inspection, anatomy, clinical pictures, and a
miscellaneous atlas filled with the user's own JPEG files. Entries are
searched as you type; an entry's pictures load into a strip of thumbnails,
enlarge into a preview and open in a viewer window that rescales and prints.

The package holds the program and tavelin-catalog, which creates, checks and
converts catalogue files.")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME tavelin-demo)
set(CPACK_DEBIAN_DEMO_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DEMO_PACKAGE_ENHANCES tavelin)
set(CPACK_COMPONENT_DEMO_DESCRIPTION
    "demo catalogue for the Tavelin picture viewer
A catalogue with drawn pictures in every atlas of Tavelin, installed as
/usr/share/tavelin/KVRJetLib.mdb, where Tavelin finds it when neither the
user nor the administrator has a catalogue of their own. It is read-only:
the miscellaneous atlas's import needs a copy in ~/.local/share/tavelin.")

include(CPack)
