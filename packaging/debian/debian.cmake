# The Debian package: a native package with a changelog and a machine-readable copyright
# file, stripped programs and the manual pages and completions installed beside them.
set(QUILLPAD_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})

# The changelog's date is the release date, in the form Debian wants (RFC 2822).
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${QUILLPAD_RELEASE_EPOCH})
string(TIMESTAMP QUILLPAD_RELEASE_DATE_RFC2822 "%a, %d %b %Y 00:00:00 +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
configure_file(debian/changelog.in changelog @ONLY)
add_custom_command(
    OUTPUT changelog.gz
    COMMAND ${QUILLPAD_GZIP} -9nkf changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS changelog.gz)

# copyright: DEP-5, with the licence texts taken from the files that hold them (lines
# indented by one blank, empty lines as " ."): the MIT licence from LICENSE, starting at its
# permission text, and hidapi's BSD-style licence from tests/data.
function(quillpad_dep5_text file first_line out)
    file(STRINGS ${file} lines)
    set(text "")
    set(in_text FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "${first_line}")
            set(in_text TRUE)
        endif()
        if(NOT in_text)
            continue()
        endif()
        if(line STREQUAL "")
            string(APPEND text " .\n")
        else()
            string(APPEND text " ${line}\n")
        endif()
    endforeach()
    string(STRIP "${text}" text)
    set(${out} " ${text}" PARENT_SCOPE)
endfunction()
quillpad_dep5_text(${PROJECT_SOURCE_DIR}/LICENSE "^Permission is hereby granted" QUILLPAD_EXPAT_TEXT)
quillpad_dep5_text(${PROJECT_SOURCE_DIR}/tests/data/hidapi-LICENSE-bsd.txt "^Copyright"
                   QUILLPAD_HIDAPI_BSD_TEXT)
configure_file(debian/copyright.in copyright @ONLY)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright
        DESTINATION ${QUILLPAD_DOC_DIR})

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLPAD_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's keyboard picture starts the first of these that is installed.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "onboard | florence | matchbox-keyboard")
# The extended description, wrapped for an 80-column terminal.
set(CPACK_PACKAGE_DESCRIPTION
    "quillpad-config (a window) and quillpadctl (a command-line tool) read and
change what the six keys of a Quillpad USB keypad send: a keyboard key,
modifiers and mouse buttons. A udev rule lets the user logged in at the seat
use the keypad without root.")
# Apply the udev rule to a keypad that is already plugged in.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
