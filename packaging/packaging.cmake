# What a Linux desktop expects around the program. debian/ packages it; other distributions can
# take the same `cmake --install`.
set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(app_id dk.kvistborg.horalog)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/horalog)

# The version and release date come from the project; the files that show them are made here.
configure_file(${pkg}/${app_id}.metainfo.xml.in ${out}/${app_id}.metainfo.xml @ONLY)
configure_file(${pkg}/horalog.1.in ${out}/en/horalog.1 @ONLY)
configure_file(${pkg}/horalog.da.1.in ${out}/da/horalog.1 @ONLY)

install(FILES ${pkg}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${out}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${out}/en/horalog.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${out}/da/horalog.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/da/man1)
install(FILES ${pkg}/HKEY_LOCAL_MACHINE.reg.example DESTINATION ${docdir})

# Every size of the icon, and the scalable one, drawn by the program's own icon code.
set(icons ${out}/icons)
set(icon_sizes 16 32 48 256)
set(icon_files ${icons}/horalog.svg)
foreach(size ${icon_sizes})
    list(APPEND icon_files ${icons}/horalog-${size}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icons}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:horalog_icons> ${icons}
    DEPENDS horalog_icons)
add_custom_target(horalog_package_files ALL DEPENDS ${icon_files})
foreach(size ${icon_sizes})
    install(FILES ${icons}/horalog-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME horalog.png)
endforeach()
install(FILES ${icons}/horalog.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
