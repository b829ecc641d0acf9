// The program in the web page: which keypad the window talks to (one the user granted over
// WebHID, or the simulated keypad), and the entry points the page's script calls with the
// user's events. Each entry point runs to its end (waits and message boxes included) before
// the page hands over the next event.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "control_ids.h"
#include "dev.h"
#include "keypad_files.h"
#include "simulated_storage.h"
#include "web_keypad_view.h"
#include "webhid_platform.h"

// clang-format off
EM_JS(void, qp_page_status, (const char* text, int canConnect, int usingSimulated), {
    QuillpadPage.setStatus(UTF8ToString(text), canConnect != 0, usingSimulated != 0);
});
// clang-format on

namespace quillpad {
namespace {

constexpr const char* kNoWebHidText =
    "This browser cannot talk to the keypad: Chrome, Edge and Opera can (on Windows, macOS, "
    "Linux and ChromeOS), Firefox and Safari cannot. Meanwhile the window shows a simulated "
    "keypad, kept in this browser.";
constexpr const char* kSimulatedText =
    "Simulated keypad: no keypad is chosen, so the window shows one kept in this browser. "
    "Plug yours in and click \u201cConnect keypad\u2026\u201d to use it.";
constexpr const char* kConnectedText =
    "Keypad connected: the window reads and writes the keypad you chose.";
constexpr const char* kUnpluggedText =
    "The keypad was unplugged. Plug it in again and click Refresh, or use the simulated keypad.";

struct Program {
    WebKeypadView view;
    WebHidPlatform webHid;
    SimulatedStorage storage;
    std::unique_ptr<HidPlatform> simulated;
    bool hasWebHid = false;
    bool usingSimulated = true;
    bool simulatedChosen = false;  // the user asked for the simulated keypad
};

// The page's one program; it lives as long as the page.
Program* gProgram = nullptr;

void UseSimulated(Program& p, const char* status) {
    if (!p.simulated) {
        std::string error;
        p.simulated = p.storage.Open(error);
        if (!p.simulated) {
            qp_page_status(("The simulated keypad cannot be used: " + error).c_str(), p.hasWebHid,
                           0);
            return;
        }
    }
    DevSetPlatform(p.simulated.get());
    p.usingSimulated = true;
    qp_page_status(status, p.hasWebHid, 1);
}

void UseWebHid(Program& p) {
    DevSetPlatform(&p.webHid);
    p.usingSimulated = false;
    qp_page_status(kConnectedText, 1, 0);
}

// Runs one event of the page, then keeps the simulated keypad's memory.
template <typename Event>
void Handle(Event event) {
    if (gProgram == nullptr) {
        return;
    }
    event(*gProgram);
    if (gProgram->simulated) {
        gProgram->storage.Persist();
    }
}

std::span<const std::uint8_t> Bytes(const std::uint8_t* data, int length) {
    return {data, data != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0};
}

}  // namespace
}  // namespace quillpad

using quillpad::Program;

extern "C" {

// After qp_create, before qp_start: what the user's layout types at a key.
EMSCRIPTEN_KEEPALIVE void qp_layout_key(const char* code, const char* text) {
    if (quillpad::gProgram != nullptr && code != nullptr && text != nullptr) {
        quillpad::gProgram->view.SetLayoutKey(code, text);
    }
}

// Builds the window's elements.
EMSCRIPTEN_KEEPALIVE void qp_create() {
    if (quillpad::gProgram == nullptr) {
        quillpad::gProgram = new Program;
    }
}

// Chooses the keypad (one already granted, else the simulated one) and runs the window's
// initialisation.
EMSCRIPTEN_KEEPALIVE void qp_start() {
    quillpad::Handle([](Program& p) {
        p.hasWebHid = quillpad::WebHidPlatform::Available();
        if (!p.hasWebHid) {
            quillpad::UseSimulated(p, quillpad::kNoWebHidText);
        } else if (quillpad::WebHidPlatform::GrantedKeypads() > 0) {
            quillpad::UseWebHid(p);
        } else {
            quillpad::UseSimulated(p, quillpad::kSimulatedText);
        }
        p.view.Initialise();
    });
}

// "Connect keypad…" was clicked: the browser asks the user to choose one.
EMSCRIPTEN_KEEPALIVE void qp_connect() {
    quillpad::Handle([](Program& p) {
        if (!quillpad::WebHidPlatform::RequestKeypad()) {
            return;  // the user chose none: everything stays as it was
        }
        p.simulatedChosen = false;
        quillpad::UseWebHid(p);
        p.view.Dialog().OnRefresh();
        p.view.Dialog().SelectKey();
    });
}

EMSCRIPTEN_KEEPALIVE void qp_use_simulated() {
    quillpad::Handle([](Program& p) {
        p.simulatedChosen = true;
        quillpad::UseSimulated(p, p.hasWebHid ? quillpad::kSimulatedText : quillpad::kNoWebHidText);
        p.view.Dialog().OnRefresh();
        p.view.Dialog().SelectKey();
    });
}

// A keypad the page used went away.
EMSCRIPTEN_KEEPALIVE void qp_unplugged() {
    quillpad::Handle([](Program& p) {
        if (!p.usingSimulated) {
            qp_page_status(quillpad::kUnpluggedText, 1, 0);
        }
    });
}

// A device the page may use was plugged in (again). A keypad granted before is used at once,
// unless the user chose the simulated keypad.
EMSCRIPTEN_KEEPALIVE void qp_plugged() {
    quillpad::Handle([](Program& p) {
        if (!p.usingSimulated) {
            qp_page_status(quillpad::kConnectedText, 1, 0);
        } else if (!p.simulatedChosen && quillpad::WebHidPlatform::GrantedKeypads() > 0) {
            quillpad::UseWebHid(p);
            p.view.Dialog().OnRefresh();
            p.view.Dialog().SelectKey();
        }
    });
}

EMSCRIPTEN_KEEPALIVE void qp_command(int id) {
    quillpad::Handle([id](Program& p) { p.view.Dialog().OnCommand(id); });
}

EMSCRIPTEN_KEEPALIVE void qp_click(int x, int y) {
    quillpad::Handle([x, y](Program& p) { p.view.Dialog().OnLButtonUp(x, y); });
}

EMSCRIPTEN_KEEPALIVE void qp_mouse_move(int x, int y) {
    quillpad::Handle([x, y](Program& p) { p.view.Dialog().OnMouseMove(x, y); });
}

// A pointer button went down on control id (0: on the window itself), before the control sees
// it.
EMSCRIPTEN_KEEPALIVE void qp_pointer_down(int id) {
    quillpad::Handle(
        [id](Program& p) { p.view.Dialog().OnPointerDown(id == 0 ? quillpad::kIdStatic : id); });
}

// A key-down in the window. Returns 1 when the window took it, 0 when the page's dialog
// handling should do with it what a dialog does (Tab, Space or Enter on a button).
EMSCRIPTEN_KEEPALIVE int qp_key_down(const char* code, const char* key, int altDown) {
    const std::string physical = code != nullptr ? code : "";
    const std::string gave = key != nullptr ? key : "";
    bool taken = true;
    quillpad::Handle([&](Program& p) { taken = p.view.KeyDown(physical, gave, altDown != 0); });
    return taken ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void qp_timer(int id) {
    quillpad::Handle([id](Program& p) { p.view.Dialog().OnTimer(id); });
}

EMSCRIPTEN_KEEPALIVE void qp_save_profile() {
    quillpad::Handle([](Program& p) { quillpad::SaveProfileDownload(p.view); });
}

EMSCRIPTEN_KEEPALIVE void qp_load_profile(const char* name, const std::uint8_t* data, int length) {
    const std::string file = name != nullptr ? name : "";
    quillpad::Handle([&](Program& p) {
        quillpad::LoadProfileUpload(p.view, p.view.Dialog(), file, quillpad::Bytes(data, length));
    });
}

EMSCRIPTEN_KEEPALIVE void qp_dump_block() {
    quillpad::Handle([](Program& p) { quillpad::DumpBlockDownload(p.view); });
}

EMSCRIPTEN_KEEPALIVE void qp_restore_block(const char* name, const std::uint8_t* data, int length) {
    const std::string file = name != nullptr ? name : "";
    quillpad::Handle([&](Program& p) {
        quillpad::RestoreBlockUpload(p.view, p.view.Dialog(), file, quillpad::Bytes(data, length));
    });
}

}  // extern "C"
