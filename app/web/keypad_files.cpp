#include "keypad_files.h"

#include <emscripten.h>

#include <memory>
#include <optional>
#include <string_view>

#include "config_block.h"
#include "dev.h"
#include "profile.h"

// clang-format off
EM_JS(void, qp_page_download, (const char* name, const unsigned char* data, int length,
                               const char* type), {
    QuillpadPage.download(UTF8ToString(name), HEAPU8.slice(data, data + length),
                          UTF8ToString(type));
});
// clang-format on

namespace quillpad {
namespace {

void Tell(KeypadView& view, const std::string& text, unsigned type) {
    view.ShowMessageBox(text, view.ApplicationName(), type);
}

// The busy pointer for as long as it lives.
class Busy {
  public:
    explicit Busy(KeypadView& view) : view_(view) { view_.SetBusy(true); }
    ~Busy() { view_.SetBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    KeypadView& view_;
};

// Finds the keypad and claims it, as the window's Refresh and OK do; nullptr (the user told)
// when there is none.
std::unique_ptr<KeypadLock> ClaimKeypad(KeypadView& view) {
    std::unique_ptr<KeypadLock> lock;
    {
        Busy busy(view);
        if (DevEnumerate(view.DeviceNotificationWindow()) > 0) {
            DevSelect(0);
            std::string reason;
            lock = DevLockKeypad(0, reason);
        }
    }
    if (!lock) {
        Tell(view, kNoKeypadText, kMbOk | kMbIconStop);
    }
    return lock;
}

bool ReadBlock(KeypadView& view, ConfigBlock& block) {
    Busy busy(view);
    return DevReadBlock(block.data(), 0, static_cast<int>(block.size())) != 0;
}

bool WriteBlock(KeypadView& view, const ConfigBlock& block) {
    Busy busy(view);
    return DevWriteBlock(block.data(), 0, static_cast<int>(block.size())) != 0;
}

void Download(const char* name, std::string_view bytes, const char* type) {
    qp_page_download(name, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<int>(bytes.size()), type);
}

// After a write: the window shows what the keypad now holds.
void ShowWritten(KeypadView& view, CKeypadDlg& dlg, bool written) {
    if (!written) {
        Tell(view, kWriteFailedText, kMbOk | kMbIconStop);
        return;
    }
    dlg.OnRefresh();
    dlg.SelectKey();
}

}  // namespace

void SaveProfileDownload(KeypadView& view) {
    const std::unique_ptr<KeypadLock> lock = ClaimKeypad(view);
    ConfigBlock block{};
    if (!lock) {
        return;
    }
    if (!ReadBlock(view, block)) {
        Tell(view, kReadFailedText, kMbOk | kMbIconStop);
        return;
    }
    KeyAssignments keys{};
    DecodeConfigBlock(block, keys);
    // The page names keys by their positions on a US keyboard, as quillpadctl does without
    // --layout.
    const std::string profile = FormatProfile(
        keys, ProfileHeader("quillpad-config " QUILLPAD_VERSION " in a web browser", std::nullopt));
    Download(kProfileDownloadName, profile, "text/plain");
}

void LoadProfileUpload(KeypadView& view, CKeypadDlg& dlg, const std::string& name,
                       std::span<const std::uint8_t> content) {
    // Everything about the file is checked before the keypad is touched.
    if (content.size() > kMaxProfileBytes) {
        Tell(view,
             name + ": larger than " + std::to_string(kMaxProfileBytes) + " bytes; not a profile",
             kMbOk | kMbIconStop);
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
    // A profile saved with quillpadctl --layout names keys after that layout: read with the US
    // names, its letters would mean other keys.
    if (const std::optional<std::string> layout = ProfileLayout(text)) {
        Tell(view,
             name + ": its keys are named as the keyboard layout " + QuoteForMessage(*layout) +
                 " types them; load it with quillpadctl --layout " + QuoteForMessage(*layout),
             kMbOk | kMbIconStop);
        return;
    }
    const ProfileParse parsed = ParseProfile(text);
    if (!parsed.ok) {
        Tell(view, name + ": " + parsed.error, kMbOk | kMbIconStop);
        return;
    }
    bool written = false;
    {
        const std::unique_ptr<KeypadLock> lock = ClaimKeypad(view);
        if (!lock) {
            return;
        }
        ConfigBlock block{};
        if (!ReadBlock(view, block)) {
            Tell(view, kReadFailedText, kMbOk | kMbIconStop);
            return;
        }
        KeyAssignments keys{};
        DecodeConfigBlock(block, keys);
        ApplyProfile(parsed.keys, keys);
        written = WriteBlock(view, EncodeConfigBlock(keys));
    }
    ShowWritten(view, dlg, written);
}

void DumpBlockDownload(KeypadView& view) {
    const std::unique_ptr<KeypadLock> lock = ClaimKeypad(view);
    ConfigBlock block{};
    if (!lock) {
        return;
    }
    if (!ReadBlock(view, block)) {
        Tell(view, kReadFailedText, kMbOk | kMbIconStop);
        return;
    }
    Download(kBlockDownloadName,
             std::string_view(reinterpret_cast<const char*>(block.data()), block.size()),
             "application/octet-stream");
}

void RestoreBlockUpload(KeypadView& view, CKeypadDlg& dlg, const std::string& name,
                        std::span<const std::uint8_t> content) {
    ConfigBlock block{};
    if (content.size() != block.size()) {
        Tell(view,
             name + ": holds " + std::to_string(content.size()) +
                 " bytes; a configuration block is exactly 256",
             kMbOk | kMbIconStop);
        return;
    }
    std::copy(content.begin(), content.end(), block.begin());
    bool written = false;
    {
        const std::unique_ptr<KeypadLock> lock = ClaimKeypad(view);
        if (!lock) {
            return;
        }
        written = WriteBlock(view, block);
    }
    ShowWritten(view, dlg, written);
}

}  // namespace quillpad
