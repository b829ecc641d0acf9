// The HID platform of Windows: the device installation functions list the HID interfaces,
// the configuration manager walks the device tree, and the HID class driver opens, describes
// and talks to one interface.
#pragma once

#include "hid_platform.h"

namespace quillpad {

class Win32HidPlatform final : public HidPlatform {
  public:
    InterfaceList OpenInterfaceList() override;
    bool InterfaceExists(InterfaceList list, int index) override;
    bool GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                            DevNode& node) override;
    void CloseInterfaceList(InterfaceList list) override;

    // The parent of node; node itself when the configuration manager cannot name one.
    DevNode GetParent(DevNode node) override;

    PlatformHandle Open(const std::string& path, bool read, bool write, bool overlapped,
                        bool exclusive) override;
    void Close(PlatformHandle handle) override;
    bool GetAttributes(PlatformHandle handle, HidAttributes& attributes) override;
    bool GetPreparsedData(PlatformHandle handle, PreparsedData& data) override;
    void FreePreparsedData(PreparsedData data) override;
    bool GetCaps(PreparsedData data, HidCaps& caps) override;
    void GetButtonCaps(ReportKind kind, PreparsedData data,
                       std::vector<HidButtonCaps>& caps) override;
    void GetValueCaps(ReportKind kind, PreparsedData data,
                      std::vector<HidValueCaps>& caps) override;
    std::uint32_t MaxUsageListLength(ReportKind kind, std::uint16_t usagePage,
                                     PreparsedData data) override;

    bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                     std::size_t& written) override;
    bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) override;

    NotificationHandle RegisterNotification(void* window, PlatformHandle handle) override;
    void UnregisterNotification(NotificationHandle notification) override;

    // A claim named after the interface path (named_claim.h): the programs of this session
    // that claim the same keypad take turns. Released by the thread that took it.
    std::unique_ptr<KeypadLock> LockKeypad(const std::string& path, std::string& reason,
                                           const std::function<bool()>& waiting) override;
};

}  // namespace quillpad
