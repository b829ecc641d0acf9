# Linux: hidraw devices found through libudev.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUDEV REQUIRED IMPORTED_TARGET libudev)
target_sources(device PRIVATE
    platform/linux/hidraw_platform.cpp
    platform/linux/udev_hidraw_system.cpp
)
target_link_libraries(device PRIVATE PkgConfig::LIBUDEV)
