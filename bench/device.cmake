# Device access: enumeration over many HID interfaces, and platform calls per block transfer.
add_executable(device_bench ${CMAKE_CURRENT_LIST_DIR}/device_bench.cpp)
target_link_libraries(device_bench PRIVATE device_fake benchmark::benchmark_main)
