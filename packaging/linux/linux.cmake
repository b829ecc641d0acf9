# The Linux companions of the programs: udev rule, desktop entry, icons, AppStream metainfo.
set(QUILLPAD_APP_ID io.github.quillpad.QuillpadConfig)

# udev reads rules from /usr/lib/udev/rules.d, not from under a /usr/local prefix.
set(QUILLPAD_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the udev rule goes, relative to the install prefix unless absolute")

# The metainfo names the release: its version and date come from the project.
configure_file(linux/${QUILLPAD_APP_ID}.metainfo.xml.in ${QUILLPAD_APP_ID}.metainfo.xml @ONLY)

install(FILES linux/70-quillpad.rules DESTINATION ${QUILLPAD_UDEV_RULES_DIR})
install(FILES linux/${QUILLPAD_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${QUILLPAD_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/res/png/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUILLPAD_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/svg/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUILLPAD_APP_ID}.svg)
