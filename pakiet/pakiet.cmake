# Installation (GNUInstallDirs) and the Debian package: `cmake --build build --target package`
# makes build/faktura_<version>-1_<arch>.deb. scripts/pakiet.sh builds it in a Release build of its
# own and checks it.
include(GNUInstallDirs)

set(FAKTURA_ID io.github.kwintaro.Faktura)
set(PAKIET_ZRODLA ${CMAKE_SOURCE_DIR}/pakiet)
set(PAKIET_WYNIKI ${CMAKE_BINARY_DIR}/pakiet)

install(TARGETS faktura faktura-ustawienia faktura-eksport faktura-ksef RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The export's PDF drawing, which faktura-eksport starts for a pdf export (../libexec/faktura/ from it).
install(TARGETS faktura-eksport-pdf RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/faktura)
# The menu's command for the module, beside it (it finds the programs there).
install(PROGRAMS ${PAKIET_ZRODLA}/faktura-start DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PAKIET_ZRODLA}/${FAKTURA_ID}.desktop ${PAKIET_ZRODLA}/${FAKTURA_ID}.Ustawienia.desktop
              ${PAKIET_ZRODLA}/${FAKTURA_ID}.Ksef.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PAKIET_ZRODLA}/${FAKTURA_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PAKIET_ZRODLA}/ikony/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PAKIET_ZRODLA}/ikony/${FAKTURA_ID}.svg ${PAKIET_ZRODLA}/ikony/${FAKTURA_ID}.Ustawienia.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME faktura)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(FAKTURA_OPIEKUN "Faktura maintainers <maintainers@users.noreply.c-seed-ed67c550.example>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FAKTURA_OPIEKUN}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Polish VAT invoices and correcting invoices for a small business")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Faktura issues Polish VAT invoices and correcting invoices in one window: the
invoice form, three item lines, the VAT summary by rate, the total and the
total in Polish words. Documents are kept in plain files of a data folder that
several workstations may share; client and service lists, templates, a
one-page printout and a monthly summary surround the form.
.
The package holds the module (faktura, started from the menu by faktura-start
in the data folder used last), the settings program faktura-ustawienia, which
also prepares a new data folder, the export program faktura-eksport (PDF
files, FA(3) e-invoices, a CSV sales register) and faktura-ksef, which sends
the documents to KSeF, the national e-invoice system, and keeps their states
and receipts in the data folder. The programs speak Polish.")
# Dependencies from the shared libraries the programs link; the fonts are for the printout, the
# Qt translations make the standard dialogs Polish (the programs run without them).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Manual pages and the Debian changelog compressed as Debian wants them: gzip -9n (no name, no time,
# so that two builds give the same bytes).
configure_file(${PAKIET_ZRODLA}/changelog.Debian.in ${PAKIET_WYNIKI}/changelog.Debian @ONLY)
set(SKOMPRESOWANE)
foreach(strona faktura faktura-start faktura-ustawienia faktura-eksport faktura-ksef)
  list(APPEND SKOMPRESOWANE ${PAKIET_WYNIKI}/${strona}.1.gz)
  add_custom_command(OUTPUT ${PAKIET_WYNIKI}/${strona}.1.gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PAKIET_ZRODLA}/man/${strona}.1 ${PAKIET_WYNIKI}/${strona}.1.gz
    DEPENDS ${PAKIET_ZRODLA}/man/${strona}.1 VERBATIM)
  install(FILES ${PAKIET_WYNIKI}/${strona}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/pl/man1)
endforeach()
add_custom_command(OUTPUT ${PAKIET_WYNIKI}/changelog.Debian.gz
  COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PAKIET_WYNIKI}/changelog.Debian ${PAKIET_WYNIKI}/changelog.Debian.gz
  DEPENDS ${PAKIET_WYNIKI}/changelog.Debian VERBATIM)
add_custom_target(pakiet_strony ALL DEPENDS ${SKOMPRESOWANE} ${PAKIET_WYNIKI}/changelog.Debian.gz)
install(FILES ${PAKIET_ZRODLA}/copyright ${PAKIET_WYNIKI}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

include(CPack)
