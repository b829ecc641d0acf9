#include "simulated_keypad.h"

#include "platforms.h"
#include "state_file.h"

namespace quillpad {

namespace {
// The simulated keypad's place in the device tree: interface -> HID device -> USB device.
constexpr DevNode kInterfaceNode = 3;
constexpr DevNode kHidNode = 2;
constexpr DevNode kUsbNode = 1;
}  // namespace

SimulatedKeypad::SimulatedKeypad(std::string stateFile, const KeypadModel::Memory& memory)
    : stateFile_(std::move(stateFile)), path_("sim:" + stateFile_) {
    model_.memory() = memory;
    model_.SetWriteDone([this](const KeypadModel::Memory& m) {
        std::string error;
        if (!SaveStateFile(stateFile_, m, error)) {
            saveError_ = error;
            return false;
        }
        saveError_.clear();
        return true;
    });
}

InterfaceList SimulatedKeypad::OpenInterfaceList() {
    return &listToken_;
}

bool SimulatedKeypad::InterfaceExists(InterfaceList list, int index) {
    return list == &listToken_ && index == 0;
}

bool SimulatedKeypad::GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                         DevNode& node) {
    if (!InterfaceExists(list, index)) {
        return false;
    }
    path = path_;
    node = kInterfaceNode;
    return true;
}

void SimulatedKeypad::CloseInterfaceList(InterfaceList) {}

DevNode SimulatedKeypad::GetParent(DevNode node) {
    switch (node) {
        case kInterfaceNode:
            return kHidNode;
        case kHidNode:
            return kUsbNode;
        default:
            return kNoDevNode;
    }
}

PlatformHandle SimulatedKeypad::Open(const std::string& path, bool, bool, bool, bool) {
    if (path != path_) {
        return kInvalidHandle;
    }
    const PlatformHandle handle = nextHandle_++;
    handles_.insert(handle);
    return handle;
}

void SimulatedKeypad::Close(PlatformHandle handle) {
    handles_.erase(handle);
}

bool SimulatedKeypad::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    if (!IsOpen(handle)) {
        return false;
    }
    attributes.vendorId = 0x1130;
    attributes.productId = 0x660C;
    attributes.versionNumber = 0x0100;
    return true;
}

bool SimulatedKeypad::GetPreparsedData(PlatformHandle handle, PreparsedData& data) {
    if (!IsOpen(handle)) {
        return false;
    }
    data = &capsToken_;
    return true;
}

void SimulatedKeypad::FreePreparsedData(PreparsedData) {}

bool SimulatedKeypad::GetCaps(PreparsedData data, HidCaps& caps) {
    if (data != &capsToken_) {
        return false;
    }
    caps = HidCaps{};
    caps.usagePage = 0x01;
    caps.usage = 0x03;
    caps.reportByteLength[KindIndex(ReportKind::kOutput)] = kOutputReportLength;
    caps.reportByteLength[KindIndex(ReportKind::kFeature)] = kFeatureReportLength;
    return true;
}

void SimulatedKeypad::GetButtonCaps(ReportKind, PreparsedData, std::vector<HidButtonCaps>& caps) {
    caps.clear();
}

void SimulatedKeypad::GetValueCaps(ReportKind, PreparsedData, std::vector<HidValueCaps>& caps) {
    caps.clear();
}

std::uint32_t SimulatedKeypad::MaxUsageListLength(ReportKind, std::uint16_t, PreparsedData) {
    return 0;
}

bool SimulatedKeypad::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                                  std::size_t length, std::size_t& written) {
    written = 0;
    if (!IsOpen(handle) || length != kOutputReportLength || report[0] != 0x00) {
        return false;
    }
    if (!model_.OnOutputReport(report, length)) {
        return false;
    }
    written = length;
    return true;
}

bool SimulatedKeypad::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    return IsOpen(handle) && buffer != nullptr && length > 0 && buffer[0] == 0x00 &&
           model_.OnGetFeature(buffer, length);
}

NotificationHandle SimulatedKeypad::RegisterNotification(void*, PlatformHandle) {
    return nullptr;
}

void SimulatedKeypad::UnregisterNotification(NotificationHandle) {}

std::unique_ptr<HidPlatform> MakeSimulatedKeypad(const std::string& stateFile, std::string& error) {
    KeypadModel::Memory memory{};
    if (stateFile.empty()) {
        error = "simulated keypad: no state file given";
        return nullptr;
    }
    if (!LoadStateFile(stateFile, memory, error)) {
        return nullptr;
    }
    return std::make_unique<SimulatedKeypad>(stateFile, memory);
}

}  // namespace quillpad
