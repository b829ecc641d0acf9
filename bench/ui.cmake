# Start-up of the whole program on the simulated keypad: time to the first shown frame and
# peak resident memory. Needs an X display; bench/ui-startup runs it on a virtual one.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLPAD_BENCH_XCB IMPORTED_TARGET xcb)
if(TARGET quillpad-config AND QUILLPAD_BENCH_XCB_FOUND)
    add_executable(ui_startup_bench ui_startup_bench.cpp)
    target_link_libraries(ui_startup_bench PRIVATE benchmark::benchmark PkgConfig::QUILLPAD_BENCH_XCB)
    target_compile_definitions(ui_startup_bench PRIVATE
        QUILLPAD_PROGRAM="$<TARGET_FILE:quillpad-config>")
    add_dependencies(ui_startup_bench quillpad-config)
endif()
