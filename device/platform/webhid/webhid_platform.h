// The keypad over WebHID (navigator.hid), in a browser: the page's keypads are the devices the
// user granted it. Each granted device is one HID device under one keypad node; each of its
// top-level collections is one interface, as Windows lists a device's collections, so the walk,
// the open checks and the block transfers of the library run unchanged.
//
// WebHID's calls are asynchronous and HidPlatform's are not: each call suspends the
// WebAssembly code (Asyncify) until the browser has answered. A report the device does not
// take or answer within kTransferTimeoutMs fails the transfer, and a device unplugged fails
// every call at once, so nothing waits for ever. Opened devices stay open until unplugged:
// closing and reopening them at every walk would race the browser's own close.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hid_platform.h"

namespace quillpad {

class WebHidPlatform : public HidPlatform {
  public:
    static constexpr int kTransferTimeoutMs = 3000;

    // True when the browser offers WebHID at all.
    static bool Available();
    // The number of devices the page was already granted that are keypads (by vendor and
    // product); the walk then finds them without asking the user.
    static int GrantedKeypads();
    // Asks the user to choose a keypad (needs a click shortly before). True when one was
    // chosen.
    static bool RequestKeypad();

    InterfaceList OpenInterfaceList() override;
    bool InterfaceExists(InterfaceList list, int index) override;
    bool GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                            DevNode& node) override;
    void CloseInterfaceList(InterfaceList list) override;
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
    std::string LastTransferError() const override { return transferError_; }

  private:
    // One top-level collection of one granted device, by the page's numbers.
    struct Interface {
        int device = 0;
        int collection = 0;
    };
    struct Preparsed {
        Interface iface;
    };

    const Interface* Find(PlatformHandle handle) const;

    std::vector<Interface> list_;
    int listToken_ = 0;
    std::map<PlatformHandle, Interface> handles_;
    PlatformHandle nextHandle_ = 1;
    std::map<Preparsed*, std::unique_ptr<Preparsed>> preparsed_;
    std::string transferError_;
};

}  // namespace quillpad
