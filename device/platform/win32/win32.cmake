# The Windows HID backend: the default platform of Windows builds.
target_sources(device PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/win32_hid_platform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_claim.cpp
    ${CMAKE_CURRENT_LIST_DIR}/default_platform.cpp
)
target_include_directories(device PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# hid before the configuration manager and the device installation functions.
target_link_libraries(device PUBLIC hid cfgmgr32 setupapi)
