# The browser (preset web): keypads over WebHID. Its JavaScript half goes into the page's
# script ahead of the program.
target_sources(device PRIVATE platform/webhid/webhid_platform.cpp)
target_link_options(device INTERFACE "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/webhid.js")
target_include_directories(device PUBLIC ${CMAKE_CURRENT_LIST_DIR})
