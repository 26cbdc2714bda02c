# What a Linux desktop expects around the program, and the Debian package that carries it.
set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/horalog)
install(FILES ${pkg}/horalog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/dk.kvistborg.horalog.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${pkg}/horalog.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${pkg}/copyright ${pkg}/HKEY_LOCAL_MACHINE.reg.example DESTINATION ${docdir})

# The icon at every size the menus ask for, drawn by the program's own icon code.
set(icons ${CMAKE_CURRENT_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${icons}/horalog-48.png ${icons}/horalog-256.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icons}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:horalog_icons> ${icons}
    DEPENDS horalog_icons)
foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/horalog-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME horalog.png)
endforeach()
foreach(size 48 256)
    install(FILES ${icons}/horalog-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME horalog.png)
endforeach()

# The man page and the changelog go compressed, as Debian keeps them.
set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/horalog.1.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${gzipped}
    COMMAND gzip -9n -c ${pkg}/horalog.1 > ${CMAKE_CURRENT_BINARY_DIR}/horalog.1.gz
    COMMAND gzip -9n -c ${pkg}/changelog > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    DEPENDS ${pkg}/horalog.1 ${pkg}/changelog)
add_custom_target(horalog_package_files ALL
    DEPENDS ${gzipped} ${icons}/horalog-48.png ${icons}/horalog-256.png)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/horalog.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME horalog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kvistborg <horalog@kvistborg.dk>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flextime registration: arrival, departure and flex balance")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Horalog registers arrival and departure with one button and shows the time\n"
    "worked so far. Each finished day becomes one line of a registration file,\n"
    "with the period's figures and the running flex balance. The texts are Danish.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kvistborg.dk/horalog")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
