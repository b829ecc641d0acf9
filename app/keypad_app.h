// CKeypadApp: the application object. It shows the configuration window modally and ends
// the process when the window closes; nothing is kept between runs.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace quillpad {

class HidPlatform;

// What the command line asks for.
struct AppOptions {
    bool help = false;
    bool version = false;
    std::optional<std::string> simulateFile;  // --simulate FILE: a simulated keypad
};

// Parses argv[1..]; on a bad command line returns nullopt and sets error to one line.
std::optional<AppOptions> ParseAppOptions(int argc, const char* const* argv, std::string& error);

class CKeypadApp {
public:
    // The process's whole life: returns its exit status.
    int Run(int argc, char** argv);

private:
    // Constructs and runs the window modally; returns false (no further message loop).
    bool InitInstance();
};

}  // namespace quillpad
