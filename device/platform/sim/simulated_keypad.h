// A platform with one simulated keypad: its configuration interface (usage page 1, usage 3,
// 9-byte output reports) behaves as the keypad does, and its memory lives in a state file.
#pragma once

#include <set>
#include <string>

#include "hid_platform.h"
#include "keypad_model.h"

namespace quillpad {

class SimulatedKeypad : public HidPlatform {
  public:
    static constexpr std::uint16_t kOutputReportLength = 9;
    static constexpr std::uint16_t kFeatureReportLength = 257;

    // memory: as loaded from stateFile; every completed write is saved back to it.
    SimulatedKeypad(std::string stateFile, const KeypadModel::Memory& memory);

    const std::string& path() const { return path_; }
    const KeypadModel& model() const { return model_; }
    // The last save error, empty when every save succeeded.
    const std::string& saveError() const { return saveError_; }

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

  private:
    bool IsOpen(PlatformHandle handle) const { return handles_.count(handle) != 0; }

    std::string stateFile_;
    std::string path_;
    KeypadModel model_;
    std::set<PlatformHandle> handles_;
    PlatformHandle nextHandle_ = 1;
    std::string saveError_;
    int listToken_ = 0;
    int capsToken_ = 0;
};

}  // namespace quillpad
