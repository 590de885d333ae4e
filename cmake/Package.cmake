# The Debian package (scripts/package): the program folder as one folder under /usr/lib, where the
# program finds its shipped files beside its executable, links to it in /usr/bin, and the menu
# entries with their icon. The installed folder belongs to root, so the program keeps the user's
# files in the per-user folder instead (see common/ProgramFolder.h).
set(ZORVA_PACKAGE_NAME zorva-vdj)
set(ZORVA_INSTALL_DIR lib/${ZORVA_PACKAGE_NAME})

install(TARGETS ZORVA_VDJ zorva-vdj-service RUNTIME DESTINATION ${ZORVA_INSTALL_DIR})
# The printer loads its engine from beside the executable (presentation/PdfPrinter.h).
install(TARGETS zorva_pdf LIBRARY DESTINATION ${ZORVA_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/ZORVA_VDJ.INI ${PROJECT_SOURCE_DIR}/data/ZORVA_VDJ1B.xsl
              ${PROJECT_SOURCE_DIR}/data/test.xml ${PROJECT_SOURCE_DIR}/data/ZORVA_VDJ_help.html
              ${PROJECT_SOURCE_DIR}/data/demo/demo.sql
        DESTINATION ${ZORVA_INSTALL_DIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/data/linux/zorva-vdj-demo DESTINATION ${ZORVA_INSTALL_DIR})

# Relative links, so that an unpacked package works under any root.
set(links_dir ${CMAKE_BINARY_DIR}/package-links)
file(MAKE_DIRECTORY ${links_dir})
file(CREATE_LINK ../${ZORVA_INSTALL_DIR}/ZORVA_VDJ ${links_dir}/zorva-vdj SYMBOLIC)
file(CREATE_LINK ../${ZORVA_INSTALL_DIR}/zorva-vdj-demo ${links_dir}/zorva-vdj-demo SYMBOLIC)
install(FILES ${links_dir}/zorva-vdj ${links_dir}/zorva-vdj-demo DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/data/linux/zorva-vdj.desktop ${PROJECT_SOURCE_DIR}/data/linux/zorva-vdj-demo.desktop
        DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/linux/zorva-vdj.svg DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ZORVA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZORVA: livestock units (VDJ) and livestock intensity (PICH)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Desktop client (Czech user interface) that computes livestock units and livestock intensity for one\n"
       "applicant with the help of the ZORVA_VDJ1B SOAP service, with a demo service for trying it out.")
set(CPACK_PACKAGE_CONTACT "ZORVA <zorva@example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not seen in the executables' links: the SQLite driver of Qt SQL, the Czech
# translations of Qt's own dialogs, the opener of the rendered pages, and the web engine's helper
# process that lays out the pages printed to PDF.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n, xdg-utils, libqt6webenginecore6-bin")
include(CPack)
