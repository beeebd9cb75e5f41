# What `cmake --install` puts where (GNU layout under CMAKE_INSTALL_PREFIX, /usr/local by
# default), and the Debian package made from it by CPack (`cpack -G DEB` in a build folder).

include(GNUInstallDirs)
# The manual's folder, where the program looks for it from its bin folder.
set(KURA_MANUAL_DIR ${CMAKE_INSTALL_DATADIR}/doc/kurabox/manual)

set(KURA_DESKTOP ${PROJECT_SOURCE_DIR}/res/desktop)
set(KURA_ICON_SIZES 16 24 32 48 64 128 256)

install(TARGETS kurabox kbx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KURA_DESKTOP}/kurabox.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KURA_DESKTOP}/io.kurabox.Kurabox.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KURA_DESKTOP}/kurabox-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kurabox.xml)

set(KURA_ICON_ROOT ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${KURA_DESKTOP}/icons/kurabox.svg DESTINATION ${KURA_ICON_ROOT}/scalable/apps)
install(FILES ${KURA_DESKTOP}/icons/application-x-kurabox-container.svg
              ${KURA_DESKTOP}/icons/application-x-kurabox-tool.svg
        DESTINATION ${KURA_ICON_ROOT}/scalable/mimetypes)
foreach(size ${KURA_ICON_SIZES})
    set(pictures ${KURA_DESKTOP}/icons/png/${size})
    install(FILES ${pictures}/kurabox.png DESTINATION ${KURA_ICON_ROOT}/${size}x${size}/apps)
    install(FILES ${pictures}/application-x-kurabox-container.png ${pictures}/application-x-kurabox-tool.png
            DESTINATION ${KURA_ICON_ROOT}/${size}x${size}/mimetypes)
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/manual/ DESTINATION ${KURA_MANUAL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/res/man/kbx.1 ${PROJECT_SOURCE_DIR}/res/man/kurabox.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The manual beside the program in the build folder too, so that Help works before installing.
add_custom_target(kura_manual ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/res/manual ${CMAKE_BINARY_DIR}/manual
    COMMENT "Copying the manual beside the program")

set(CPACK_PACKAGE_NAME kurabox)
set(CPACK_PACKAGE_VENDOR "Kurabox")
set(CPACK_PACKAGE_CONTACT "Kurabox <support@kurabox.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps files encrypted in registered folders (AES-256)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kurabox keeps every file of the folders you register as its own AES-256 encrypted file.\n"
    "Files are opened decrypted in a private working folder and encrypted back when their\n"
    "program ends. The interface is Japanese. Includes the command-line tool kbx.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kurabox.example/)
# Libraries come from dpkg-shlibdeps; the window also needs Qt's platform plugins, which no
# library links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
