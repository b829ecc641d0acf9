# The manual pages quillpadctl(1) and quillpad-config(1): scdoc sources, their header naming
# the project's version, built into gzipped roff.
find_program(QUILLPAD_SCDOC scdoc REQUIRED)
find_program(QUILLPAD_GZIP gzip REQUIRED)

# scdoc dates the page by SOURCE_DATE_EPOCH: the release date, so that a build is repeatable.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" date_ok "${QUILLPAD_RELEASE_DATE}")
if(NOT date_ok)
    message(FATAL_ERROR "QUILLPAD_RELEASE_DATE must be YYYY-MM-DD, not '${QUILLPAD_RELEASE_DATE}'")
endif()
# Days since 1970-01-01 of a proleptic Gregorian date (the civil-from-days algorithm run
# backwards), in whole seconds.
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR month "${CMAKE_MATCH_2}")
math(EXPR day "${CMAKE_MATCH_3}")
if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
else()
    math(EXPR month "${month} - 3")
endif()
math(EXPR era "${year} / 400")
math(EXPR yoe "${year} - ${era} * 400")
math(EXPR doy "(153 * ${month} + 2) / 5 + ${day} - 1")
math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
math(EXPR QUILLPAD_RELEASE_EPOCH "(${era} * 146097 + ${doe} - 719468) * 86400")

# quillpadctl's page gets its synopsis, command and option headings and exit statuses from the
# command-line grammar (quillpadctl-docs); the window's page is written out as it stands.
set(QUILLPAD_MAN_PAGES)
foreach(page quillpadctl quillpad-config)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${page}.1.scd)
    set(roff ${CMAKE_CURRENT_BINARY_DIR}/${page}.1)
    if(page STREQUAL "quillpadctl")
        configure_file(man/${page}.1.scd.in ${source}.template @ONLY)
        add_custom_command(
            OUTPUT ${source}
            COMMAND sh -c "\"$1\" < \"$2\" > \"$3\"" quillpadctl-docs
                    $<TARGET_FILE:quillpadctl-docs> ${source}.template ${source}
            DEPENDS ${source}.template quillpadctl-docs
            COMMENT "Filling the manual page ${page}(1) in from the command-line grammar"
            VERBATIM)
    else()
        configure_file(man/${page}.1.scd.in ${source} @ONLY)
    endif()
    add_custom_command(
        OUTPUT ${roff} ${roff}.gz
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QUILLPAD_RELEASE_EPOCH}
                sh -c "\"$1\" < \"$2\" > \"$3\"" scdoc ${QUILLPAD_SCDOC} ${source} ${roff}
        COMMAND ${QUILLPAD_GZIP} -9nkf ${roff}
        DEPENDS ${source}
        COMMENT "Building the manual page ${page}(1)"
        VERBATIM)
    list(APPEND QUILLPAD_MAN_PAGES ${roff}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${QUILLPAD_MAN_PAGES})
install(FILES ${QUILLPAD_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
