# The Windows installer (NSIS, built with makensis) and a portable zip of the same files,
# from the 32-bit build: quillpad-config-<version>-win32.exe and .zip. The installer puts
# both programs under Program Files for all users, adds a Start-menu shortcut (with the
# program's own icon) and an Apps & Features entry whose uninstaller removes it all.
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "quillpad-config")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "quillpad-config")
set(CPACK_PACKAGE_EXECUTABLES "quillpad-config" "Quillpad Configuration")
set(CPACK_NSIS_PACKAGE_NAME "Quillpad Configuration")  # also the Start-menu folder
set(CPACK_NSIS_DISPLAY_NAME "Quillpad Configuration")
set(CPACK_NSIS_CONTACT "${QUILLPAD_MAINTAINER}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\quillpad-config.exe")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/res/win/icon.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/res/win/icon.ico")
# A newer version replaces the one installed instead of landing beside it.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")

# The licence and the list of third-party material (the programs carry the GCC runtime and
# winpthreads) travel with the programs.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md DESTINATION . RENAME THIRD-PARTY.txt)

# A 64-bit build makes a 64-bit installer that installs into the 64-bit Program Files; the
# checks run it under wine64, which cannot run 32-bit programs on machines without 32-bit
# support.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
endif()
