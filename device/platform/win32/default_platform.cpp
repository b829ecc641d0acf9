// On Windows the library talks to the HID class driver.
#include "platforms.h"
#include "win32_hid_platform.h"

namespace quillpad {

std::unique_ptr<HidPlatform> MakeDefaultPlatform() {
    return std::make_unique<Win32HidPlatform>();
}

}  // namespace quillpad
