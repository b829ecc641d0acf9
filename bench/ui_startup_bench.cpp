// Starts quillpad-config on a simulated keypad, as a user would, and measures the time until
// its window shows its first painted frame on the X display, and the process's peak resident
// memory once it is up. The program's start-up read waits twice for 100 ms by design.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Peak resident set of a process in kB, from /proc; 0 when unknown.
long PeakRssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

// True when the window's pixels are not all one colour (it has been painted).
bool Painted(xcb_connection_t* c, xcb_window_t w) {
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (geometry == nullptr) {
        return false;
    }
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> g(geometry, std::free);
    auto* image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, g->width, g->height, ~0u),
        nullptr);
    if (image == nullptr) {
        return false;
    }
    const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> i(image, std::free);
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
    const int n = xcb_get_image_data_length(image) / 4;
    for (int k = 1; k < n; ++k) {
        if ((data[k] & 0xFFFFFF) != (data[0] & 0xFFFFFF)) {
            return true;
        }
    }
    return false;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        state.SkipWithError("no X display (run bench/ui-startup)");
        xcb_disconnect(c);
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    char stateTemplate[] = "/tmp/quillpad-bench-XXXXXX";
    const int fd = mkstemp(stateTemplate);
    close(fd);
    unlink(stateTemplate);  // the simulated keypad creates it
    const std::string stateFile = stateTemplate;
    long peakKb = 0;

    for (auto _ : state) {
        const char* argv[] = {QUILLPAD_PROGRAM, "--simulate", stateFile.c_str(), nullptr};
        const auto start = Clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("cannot start quillpad-config");
            break;
        }
        xcb_window_t window = 0;
        while (window == 0) {
            xcb_generic_event_t* e = xcb_wait_for_event(c);
            if (e == nullptr) {
                break;
            }
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                window = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
            }
            std::free(e);
        }
        while (window != 0 && !Painted(c, window)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto shown = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());

        // Let the indicator blink run out before reading the peak.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        peakKb = std::max(peakKb, PeakRssKb(pid));
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        // Drain the unmap and destroy notifications of this run.
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            std::free(e);
        }
    }
    state.counters["peak_rss_MB"] = static_cast<double>(peakKb) / 1024.0;
    unlink(stateFile.c_str());
    xcb_disconnect(c);
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
