// Profiles and raw blocks in the browser, as downloads and uploads: the same profile and
// block code as quillpadctl's save, load, dump and restore, on the keypad the page uses.
// Messages go through the window's view; a change written is shown by the window's Refresh.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "keypad_dlg.h"
#include "keypad_view.h"

namespace quillpad {

// The file names the page offers for downloads.
inline constexpr const char* kProfileDownloadName = "quillpad-profile.txt";
inline constexpr const char* kBlockDownloadName = "quillpad-block.bin";

// Reads the keys and hands them to the browser as a profile to save.
void SaveProfileDownload(KeypadView& view);
// Checks the profile, then writes the keys it names into the keypad (the others keep what
// they hold) and shows the result in the window.
void LoadProfileUpload(KeypadView& view, CKeypadDlg& dlg, const std::string& name,
                       std::span<const std::uint8_t> content);
// Reads the 256-byte block and hands it to the browser as a file.
void DumpBlockDownload(KeypadView& view);
// Writes a 256-byte block file into the keypad as it stands and shows the result.
void RestoreBlockUpload(KeypadView& view, CKeypadDlg& dlg, const std::string& name,
                        std::span<const std::uint8_t> content);

}  // namespace quillpad
