#include "keypad_app.h"

#include <QApplication>
#include <cstdio>
#include <string_view>

#include "dev.h"
#include "keypad_view.h"
#include "keypad_window.h"
#include "message_box.h"
#include "platforms.h"

namespace quillpad {
namespace {

constexpr const char* kUsage =
    "Usage: quillpad-config [--simulate FILE]\n"
    "Shows the configuration window of the six-key USB keypad.\n"
    "\n"
    "  --simulate FILE  use a simulated keypad whose 256-byte memory is kept in FILE\n"
    "                   (created when missing) instead of an attached keypad\n"
    "  --help           show this text and exit\n"
    "  --version        show the version and exit\n";

}  // namespace

std::optional<AppOptions> ParseAppOptions(int argc, const char* const* argv, std::string& error) {
    AppOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--simulate" || arg.starts_with("--simulate=")) {
            std::string file;
            if (arg == "--simulate") {
                if (i + 1 >= argc) {
                    error = "--simulate needs a file name";
                    return std::nullopt;
                }
                file = argv[++i];
            } else {
                file = std::string(arg.substr(std::string_view("--simulate=").size()));
            }
            if (file.empty()) {
                error = "--simulate needs a file name";
                return std::nullopt;
            }
            if (options.simulateFile) {
                error = "--simulate is given twice";
                return std::nullopt;
            }
            options.simulateFile = file;
        } else {
            error = "unknown option '" + std::string(arg) + "'";
            return std::nullopt;
        }
    }
    return options;
}

int CKeypadApp::Run(int argc, char** argv) {
    std::string error;
    const std::optional<AppOptions> options = ParseAppOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "quillpad-config: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("quillpad-config %s\n", QUILLPAD_VERSION);
        return 0;
    }

    // The toolkit gets no options of its own: the command line is ours alone.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    std::unique_ptr<HidPlatform> simulated;
    if (options->simulateFile) {
        simulated = MakeSimulatedKeypad(*options->simulateFile, error);
        if (!simulated) {
            // Started from a menu, nobody reads standard error: say it in a window too.
            std::fprintf(stderr, "quillpad-config: %s\n", error.c_str());
            RunMessageBox(nullptr, error, "quillpad-config", kMbOk | kMbIconStop);
            return 1;
        }
        DevSetPlatform(simulated.get());
    }
    InitInstance();

    DevCloseAll();
    DevSetPlatform(nullptr);
    return 0;
}

bool CKeypadApp::InitInstance() {
    KeypadWindow dialog;
    dialog.Initialise();
    dialog.exec();  // the result plays no part
    return false;
}

}  // namespace quillpad
