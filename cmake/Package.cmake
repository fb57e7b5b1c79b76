# What a user installs: the program in bin/, what it brings (the demo's pages and pictures,
# the symbol library with its licences) in share/tablavox/, where the program looks for them
# beside its bin/; the desktop entry, icon, metainfo, manual page and Debian's documents.
include(GNUInstallDirs)
set(DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(SHARED_DEST ${CMAKE_INSTALL_DATADIR}/tablavox)
set(DOC_DEST ${CMAKE_INSTALL_DATADIR}/doc/tablavox)

install(TARGETS tablavox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/pages ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/multimedia
        DESTINATION ${SHARED_DEST} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        PATTERN "*.dat.*" EXCLUDE)
install(DIRECTORY ${SYMBOLS_DIR} DESTINATION ${SHARED_DEST}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ PATTERN ".*" EXCLUDE)
install(FILES ${DESKTOP_DIR}/fr.tablavox.Tablavox.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DESKTOP_DIR}/fr.tablavox.Tablavox.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${DESKTOP_DIR}/tablavox.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${DESKTOP_DIR}/copyright DESTINATION ${DOC_DEST})

# Debian wants the manual page and the changelog compressed, without a time stamp inside.
set(GZIPPED ${CMAKE_BINARY_DIR}/gzipped)
add_custom_command(
  OUTPUT ${GZIPPED}/tablavox.1.gz ${GZIPPED}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GZIPPED}
  COMMAND gzip -9nc ${DESKTOP_DIR}/tablavox.1 > ${GZIPPED}/tablavox.1.gz
  COMMAND gzip -9nc ${DESKTOP_DIR}/changelog > ${GZIPPED}/changelog.gz
  DEPENDS ${DESKTOP_DIR}/tablavox.1 ${DESKTOP_DIR}/changelog)
add_custom_target(gzipped_docs ALL DEPENDS ${GZIPPED}/tablavox.1.gz ${GZIPPED}/changelog.gz)
install(FILES ${GZIPPED}/tablavox.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GZIPPED}/changelog.gz DESTINATION ${DOC_DEST})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tablavox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Équipe Tablavox <equipe@tablavox.fr>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture-based communication aid with a French voice")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tablavox shows one page of pictures at a time; pressing a picture says its\n"
    "phrase with a French text-to-speech voice, plays a sound or a video, or opens\n"
    "another page. It can be used with a mouse or with one or two switches that\n"
    "scan the pictures. The same window is the editor in which a carer builds the\n"
    "pages. It comes with a French symbol library and demonstration pages.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program is linked with, as dpkg-shlibdeps finds them; then what it
# loads or reads without linking: the French voice, the conjugator's tables and the French
# dictionary's forms, the MIDI soundfont, Qt's plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "espeak-ng-data, verbiste, hunspell-fr-comprehensive, timgm6mb-soundfont | fluid-soundfont-gm | musescore-general-soundfont, qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, pulseaudio | pipewire-pulse")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
