# `make package`: a Debian package with the four programs, the desktop entry, the icon and the
# command-line front end's man page.
include(GNUInstallDirs)

install(TARGETS kavprog kavprog-eng kavprog-cli kav-radio-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kavprog.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kavprog.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The man page is written from the program's own help texts, so it cannot drift from them.
set(KAV_MAN_PAGE ${PROJECT_BINARY_DIR}/kavprog-cli.1)
add_custom_command(
    OUTPUT ${KAV_MAN_PAGE}.gz
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/manpage.sh $<TARGET_FILE:kavprog-cli> ${KAV_MAN_PAGE}
    COMMAND gzip -9nf ${KAV_MAN_PAGE}
    DEPENDS kavprog-cli ${PROJECT_SOURCE_DIR}/scripts/manpage.sh
    COMMENT "Writing the man page of kavprog-cli")
add_custom_target(kavprog-cli-man DEPENDS ${KAV_MAN_PAGE}.gz)
install(FILES ${KAV_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavprog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KAV")
set(CPACK_PACKAGE_CONTACT "KAV programmer developers <programmer@kavradio.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programming and service tool for KAV UHF CB radios")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Reads a radio's configuration memory through a serial port, edits it in dialogs, writes it "
    "back and keeps it in .mem files; prints a configuration report; aligns a radio on the bench. "
    "With a command-line front end for batch work and a virtual radio for trying it out.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6dbus6 (>= 6.4), libqt6charts6 (>= 6.4)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
