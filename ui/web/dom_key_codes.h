// The browser's names of physical keys (KeyboardEvent.code, "KeyA", "F5", "NumpadEnter") and
// the PC scan codes of the same positions, so that a key pressed in the page is recorded by
// the tables of model/ (us_key_positions.h) as the desktop windows record it.
#pragma once

#include <optional>
#include <string_view>

#include "scan_codes.h"

namespace quillpad {

// The scan code of the key the browser calls code; nothing for a name no PC key has.
std::optional<ScanCode> ScanCodeOfDomCode(std::string_view code);

// The browser's name of the key at scan; empty when no name is known.
std::string_view DomCodeOfScanCode(ScanCode scan);

}  // namespace quillpad
