# Shell completion for quillpadctl, where each shell looks for it.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_get_variable(bash_completions_dir bash-completion completionsdir)
endif()
# The package's own answer is absolute (/usr/share/...); install under the prefix instead.
set(QUILLPAD_BASH_COMPLETION_DIR "${CMAKE_INSTALL_DATADIR}/bash-completion/completions" CACHE STRING
    "Where bash-completion looks for completions, relative to the install prefix")
if(bash_completions_dir AND NOT bash_completions_dir MATCHES "/share/bash-completion/completions$")
    message(WARNING "bash-completion looks in ${bash_completions_dir}; set QUILLPAD_BASH_COMPLETION_DIR")
endif()

# The completions' command and option lists come from the command-line grammar
# (quillpadctl-docs fills the templates in); the tests use these files too.
set(QUILLPAD_COMPLETIONS)
foreach(file quillpadctl.bash _quillpadctl quillpadctl.fish)
    set(template ${CMAKE_CURRENT_SOURCE_DIR}/completion/${file}.in)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/completion/${file})
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/completion
        COMMAND sh -c "\"$1\" < \"$2\" > \"$3\"" quillpadctl-docs
                $<TARGET_FILE:quillpadctl-docs> ${template} ${output}
        DEPENDS ${template} quillpadctl-docs
        COMMENT "Filling the completion ${file} in from the command-line grammar"
        VERBATIM)
    list(APPEND QUILLPAD_COMPLETIONS ${output})
endforeach()
add_custom_target(completions ALL DEPENDS ${QUILLPAD_COMPLETIONS})

set(completions ${CMAKE_CURRENT_BINARY_DIR}/completion)
install(FILES ${completions}/quillpadctl.bash DESTINATION ${QUILLPAD_BASH_COMPLETION_DIR}
        RENAME quillpadctl)
install(FILES ${completions}/_quillpadctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${completions}/quillpadctl.fish
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
