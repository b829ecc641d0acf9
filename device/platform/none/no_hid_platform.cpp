// The default platform where this program has no HID backend: no HID interfaces at all.
#include "platforms.h"

namespace quillpad {

namespace {

class NoHidPlatform : public HidPlatform {
  public:
    InterfaceList OpenInterfaceList() override { return nullptr; }
    bool InterfaceExists(InterfaceList, int) override { return false; }
    bool GetInterfaceDetail(InterfaceList, int, std::string&, DevNode&) override { return false; }
    void CloseInterfaceList(InterfaceList) override {}
    DevNode GetParent(DevNode) override { return kNoDevNode; }
    PlatformHandle Open(const std::string&, bool, bool, bool, bool) override {
        return kInvalidHandle;
    }
    void Close(PlatformHandle) override {}
    bool GetAttributes(PlatformHandle, HidAttributes&) override { return false; }
    bool GetPreparsedData(PlatformHandle, PreparsedData&) override { return false; }
    void FreePreparsedData(PreparsedData) override {}
    bool GetCaps(PreparsedData, HidCaps&) override { return false; }
    bool WriteReport(PlatformHandle, const std::uint8_t*, std::size_t,
                     std::size_t& written) override {
        written = 0;
        return false;
    }
    bool GetFeature(PlatformHandle, std::uint8_t*, std::size_t) override { return false; }
};

}  // namespace

std::unique_ptr<HidPlatform> MakeDefaultPlatform() {
    return std::make_unique<NoHidPlatform>();
}

}  // namespace quillpad
