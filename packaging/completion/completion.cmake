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

install(FILES completion/quillpadctl.bash DESTINATION ${QUILLPAD_BASH_COMPLETION_DIR}
        RENAME quillpadctl)
install(FILES completion/_quillpadctl DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES completion/quillpadctl.fish
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
