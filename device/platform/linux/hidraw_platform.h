// HID access through Linux hidraw. Only hidraw nodes whose sysfs identity (HID_ID) names the
// keypad are listed, so no other HID device is ever opened. Each listed node is an interface
// whose device node's parent's parent is the physical device (the USB device, or the HID
// device itself for virtual devices). Capabilities come from the report descriptor's first
// top-level collection. There is nothing to register for device notifications.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hid_platform.h"
#include "hidraw_system.h"
#include "report_descriptor.h"

namespace quillpad {

class HidrawPlatform : public HidPlatform {
  public:
    explicit HidrawPlatform(std::unique_ptr<HidrawSystem> system);
    ~HidrawPlatform() override;

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
    bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                     std::size_t& written) override;
    bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) override;
    std::vector<DeviceProblem> LastProblems() const override { return problems_; }
    // An flock on the keypad's device node: every program that may use the keypad can take
    // it, whoever runs it, and it needs no file of its own.
    std::unique_ptr<KeypadLock> LockKeypad(const std::string& path, std::string& reason,
                                           const std::function<bool()>& waiting) override;

  private:
    struct Listed {
        HidrawNode node;
        DevNode id = kNoDevNode;
    };
    struct Preparsed {
        std::vector<TopLevelCollection> collections;
    };

    DevNode Intern(const std::string& key);
    const HidrawNode* ByHandle(PlatformHandle handle) const;
    void Report(DeviceProblemKind kind, const std::string& path, const std::string& reason,
                int error);

    std::unique_ptr<HidrawSystem> system_;
    std::map<std::string, DevNode> ids_;  // sysfs paths (with their role) -> node ids
    std::map<DevNode, DevNode> parents_;
    std::map<std::string, HidrawNode> known_;  // devnode -> node, from the latest scan
    std::set<std::vector<Listed>*> lists_;
    std::map<PlatformHandle, HidrawNode> open_;
    std::set<Preparsed*> preparsed_;
    std::vector<DeviceProblem> problems_;
};

}  // namespace quillpad
