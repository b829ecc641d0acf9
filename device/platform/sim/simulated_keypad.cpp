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

// A claim of LockKeypad: one more holder of the keypad's file lock.
class SimulatedKeypad::Claim : public KeypadLock {
  public:
    explicit Claim(SimulatedKeypad& keypad) : keypad_(keypad) {}
    ~Claim() override { keypad_.Release(); }

  private:
    SimulatedKeypad& keypad_;
};

SimulatedKeypad::SimulatedKeypad(std::string stateFile)
    : stateFile_(std::move(stateFile)), path_("sim:" + stateFile_) {}

SimulatedKeypad::~SimulatedKeypad() = default;

bool SimulatedKeypad::Acquire(FileLock::Mode mode, std::string& reason,
                              const std::function<bool()>& waiting) {
    // flock locks of two descriptors conflict even within one process, so the holders here
    // share one: a transfer under a claim finds the exclusive lock already held.
    if (lockDepth_ == 0 && !lock_.Lock(stateFile_, mode, reason, waiting)) {
        return false;
    }
    ++lockDepth_;
    return true;
}

void SimulatedKeypad::Release() {
    if (lockDepth_ > 0 && --lockDepth_ == 0) {
        lock_.Unlock();
    }
}

bool SimulatedKeypad::BeginWrite() {
    transferError_.clear();
    std::string reason;
    if (!Acquire(FileLock::Mode::kExclusive, reason, {})) {
        transferError_ = "cannot lock the simulated keypad's memory " + stateFile_ + ": " + reason;
        return false;
    }
    writeLocked_ = true;
    if (!ReadStateFile(stateFile_, keypad_.Memory(), transferError_)) {
        EndWrite();
        return false;
    }
    return true;
}

void SimulatedKeypad::EndWrite() {
    if (writeLocked_) {
        writeLocked_ = false;
        Release();
    }
}

bool SimulatedKeypad::SaveWrite() {
    // The new file takes over the lock, so a program waiting for it reads the new content.
    const bool saved = SaveStateFile(stateFile_, keypad_.Memory(), transferError_, &lock_);
    EndWrite();
    return saved;
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
    if (keypad_.Writing()) {
        keypad_.Abandon();  // the rest of the write can no longer come
        EndWrite();
    }
}

bool SimulatedKeypad::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    if (!IsOpen(handle)) {
        return false;
    }
    attributes.vendorId = kKeypadVendorId;
    attributes.productId = kKeypadProductId;
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
    caps.usagePage = kKeypadUsagePage;
    caps.usage = kKeypadUsage;
    caps.reportByteLength[KindIndex(ReportKind::kOutput)] = kOutputReportLength;
    caps.reportByteLength[KindIndex(ReportKind::kFeature)] = kKeypadFeatureReportLength;
    return true;
}

bool SimulatedKeypad::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                                  std::size_t length, std::size_t& written) {
    written = 0;
    if (!IsOpen(handle) || length != kOutputReportLength || report[0] != 0x00) {
        return false;
    }
    // What the host did wrong is the test platform's and the emulator's to report; the
    // simulated keypad, like the keypad, takes every report.
    const OutputEvent event = keypad_.OnOutputReport({report, length}).event;
    if (event == OutputEvent::kWriteHeader && !BeginWrite()) {
        keypad_.Abandon();
        return false;
    }
    if (event == OutputEvent::kWriteComplete && !SaveWrite()) {
        return false;
    }
    written = length;
    return true;
}

bool SimulatedKeypad::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    if (!IsOpen(handle) || buffer == nullptr || length == 0 || buffer[0] != 0x00) {
        return false;
    }
    if (!keypad_.AwaitingFeature()) {
        return keypad_.AnswerFeature(buffer, length);  // refused: no read header
    }
    transferError_.clear();
    std::string reason;
    if (!Acquire(FileLock::Mode::kShared, reason, {})) {
        keypad_.Abandon();
        transferError_ = "cannot lock the simulated keypad's memory " + stateFile_ + ": " + reason;
        return false;
    }
    const bool read = ReadStateFile(stateFile_, keypad_.Memory(), transferError_) &&
                      keypad_.AnswerFeature(buffer, length);
    Release();
    if (!read) {
        keypad_.Abandon();
    }
    return read;
}

std::unique_ptr<KeypadLock> SimulatedKeypad::LockKeypad(const std::string& path,
                                                        std::string& reason,
                                                        const std::function<bool()>& waiting) {
    if (path != path_) {
        reason = "no simulated keypad at " + path;
        return nullptr;
    }
    if (!Acquire(FileLock::Mode::kExclusive, reason, waiting)) {
        reason = "cannot lock the simulated keypad's memory " + stateFile_ + ": " + reason;
        return nullptr;
    }
    return std::make_unique<Claim>(*this);
}

std::unique_ptr<HidPlatform> MakeSimulatedKeypad(const std::string& stateFile, std::string& error) {
    KeypadMemory memory{};
    if (stateFile.empty()) {
        error = "simulated keypad: no state file given";
        return nullptr;
    }
    // Plugging the keypad in: a missing file is created, a bad one refused at once.
    if (!LoadStateFile(stateFile, memory, error)) {
        return nullptr;
    }
    return std::make_unique<SimulatedKeypad>(stateFile);
}

}  // namespace quillpad
