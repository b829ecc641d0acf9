// The operations the Dev... library needs from the operating system's HID layer. Every
// algorithm of the library (the walk over HID interfaces, grouping, the open checks, report
// framing) is written once over this interface; each backend (Windows, Linux hidraw, the
// simulated keypad, the scripted fake of the tests) implements it in its own files.
//
// The operations mirror the Windows HID stack one to one so that the Windows backend is a thin
// shim; other backends fill the same records from what their platform offers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillpad {

// An open HID interface (a Windows HANDLE, a Linux file descriptor, a backend's own id).
using PlatformHandle = std::intptr_t;
inline constexpr PlatformHandle kInvalidHandle = -1;

// A device node id, as the configuration manager numbers them. 0xFFFFFFFF marks no node.
using DevNode = std::uint32_t;
inline constexpr DevNode kNoDevNode = 0xFFFFFFFFu;

// The HID parser's description of an open interface; owned by the platform, released with
// FreePreparsedData. nullptr means none.
using PreparsedData = void*;
// A list of present HID interfaces, released with CloseInterfaceList. nullptr means none.
using InterfaceList = void*;
// A device notification registration, withdrawn with UnregisterNotification. nullptr = none.
using NotificationHandle = void*;

// Report kinds, numbered as the HID parser numbers them.
enum class ReportKind : int { kInput = 0, kOutput = 1, kFeature = 2 };
inline constexpr int kReportKindCount = 3;

inline int KindIndex(ReportKind kind) {
    return static_cast<int>(kind);
}

// Vendor ID, product ID and version number of an interface.
struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// The top-level collection's usage and the sizes of its reports. Report lengths are in bytes
// and include the report ID byte (as the Windows HID parser counts them); every per-kind array
// is indexed by KindIndex(kind).
struct HidCaps {
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t reportByteLength[kReportKindCount] = {};
    std::uint16_t buttonCapCount[kReportKindCount] = {};
    std::uint16_t valueCapCount[kReportKindCount] = {};
    std::uint16_t dataIndexCount[kReportKindCount] = {};
    std::uint16_t linkCollectionNodeCount = 0;

    std::uint16_t InputReportByteLength() const { return reportByteLength[0]; }
    std::uint16_t OutputReportByteLength() const { return reportByteLength[1]; }
    std::uint16_t FeatureReportByteLength() const { return reportByteLength[2]; }
};

// What a button and a value capability have in common. For a capability that is not a usage
// range, usageMin and usageMax both hold its single usage (and dataIndexMin/Max its single
// data index).
struct HidCapsCommon {
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
    bool isRange = false;
    std::uint16_t usageMin = 0;
    std::uint16_t usageMax = 0;
    std::uint16_t dataIndexMin = 0;
    std::uint16_t dataIndexMax = 0;
    std::uint16_t linkCollection = 0;
    std::uint16_t linkUsagePage = 0;
    std::uint16_t linkUsage = 0;
};

struct HidButtonCaps : HidCapsCommon {};

struct HidValueCaps : HidCapsCommon {
    std::uint16_t bitSize = 0;
    std::uint16_t reportCount = 0;
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
};

// What kept a keypad that is present from being used.
enum class DeviceProblemKind {
    kCannotList,          // the list of devices could not be had at all (no path)
    kPermissionDenied,    // this user may not open the device node
    kCannotOpen,          // opening failed for another reason
    kUnusableDescriptor,  // the report descriptor could not be read or parsed
};

// Why a keypad that is present could not be used (reported by backends that can tell, such as
// the Linux one when the device node is not accessible to this user). Callers decide by kind;
// reason is for people and already says what to do about it where the backend knows.
struct DeviceProblem {
    DeviceProblemKind kind = DeviceProblemKind::kCannotOpen;
    std::string path;    // the interface's device path
    std::string reason;  // one line of English, e.g. "permission denied"
    int error = 0;       // the platform's error number, 0 when none applies
};

// A claim on one keypad for a run of transfers (a command's read, change and write), released
// when destroyed. Programs that claim the same keypad take turns. It must not outlive the
// platform that gave it.
class KeypadLock {
  public:
    virtual ~KeypadLock() = default;
};

class HidPlatform {
  public:
    virtual ~HidPlatform() = default;

    // --- the list of present HID interfaces ---
    // Opens the list of present HID interfaces; nullptr when it cannot be obtained.
    virtual InterfaceList OpenInterfaceList() = 0;
    // True while the list holds an interface at index (0, 1, 2, ...).
    virtual bool InterfaceExists(InterfaceList list, int index) = 0;
    // The device path and the device node of interface index. False when the detail cannot be
    // had for this one interface; other interfaces of the list are unaffected.
    virtual bool GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                    DevNode& node) = 0;
    virtual void CloseInterfaceList(InterfaceList list) = 0;

    // --- the device tree ---
    // The parent of a device node; kNoDevNode when it has none or the call fails.
    virtual DevNode GetParent(DevNode node) = 0;

    // --- one interface ---
    // Opens the interface at path; kInvalidHandle on failure. read/write ask for that access,
    // overlapped for asynchronous I/O, exclusive for no sharing with other openers.
    virtual PlatformHandle Open(const std::string& path, bool read, bool write, bool overlapped,
                                bool exclusive) = 0;
    virtual void Close(PlatformHandle handle) = 0;
    virtual bool GetAttributes(PlatformHandle handle, HidAttributes& attributes) = 0;
    // True and the data on success; free it with FreePreparsedData.
    virtual bool GetPreparsedData(PlatformHandle handle, PreparsedData& data) = 0;
    virtual void FreePreparsedData(PreparsedData data) = 0;
    // True when the parser succeeded, with caps filled.
    virtual bool GetCaps(PreparsedData data, HidCaps& caps) = 0;
    // Fill caps (sized by the caller to the count from HidCaps) with every capability of the
    // kind (all usage pages, all link collections, all usages); the platform shrinks caps to
    // the number it filled.
    virtual void GetButtonCaps(ReportKind kind, PreparsedData data,
                               std::vector<HidButtonCaps>& caps) = 0;
    virtual void GetValueCaps(ReportKind kind, PreparsedData data,
                              std::vector<HidValueCaps>& caps) = 0;
    // The largest number of usages a report of this kind can carry for usagePage.
    virtual std::uint32_t MaxUsageListLength(ReportKind kind, std::uint16_t usagePage,
                                             PreparsedData data) = 0;

    // --- transfers ---
    // Sends one output report of length bytes (byte 0 is the report ID) and waits until it
    // has gone out. True on success, with written = the count of bytes the platform took.
    virtual bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                             std::size_t& written) = 0;
    // Fetches a feature report into buffer (byte 0 holds the report ID on entry) of length
    // bytes. True when the device answered with the whole report.
    virtual bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) = 0;

    // --- device notifications ---
    // Registers window (opaque to the library) for arrival/removal notifications of the open
    // interface. nullptr when nothing was registered (or the platform has nothing to register).
    virtual NotificationHandle RegisterNotification(void* window, PlatformHandle handle) = 0;
    virtual void UnregisterNotification(NotificationHandle notification) = 0;

    // --- taking turns with other programs ---
    // Claims the keypad whose interface is at path, waiting while another program holds it:
    // waiting is then called about every kLockRetryMs (dev.h), and the claim gives up when it
    // answers false. nullptr with the reason when the claim fails. The default claims nothing: for
    // platforms no other program can reach.
    virtual std::unique_ptr<KeypadLock> LockKeypad(const std::string& path, std::string& reason,
                                                   const std::function<bool()>& waiting) {
        (void)path;
        (void)reason;
        (void)waiting;
        return std::make_unique<KeypadLock>();
    }

    // --- diagnostics ---
    // Why the last failed transfer failed, when the platform can tell more than the failure
    // itself (the simulated keypad: its file); empty otherwise.
    virtual std::string LastTransferError() const { return {}; }
    // Keypads that were present during the last walk of the interface list but could not be
    // used, with the reason. Platforms that cannot tell return nothing.
    virtual std::vector<DeviceProblem> LastProblems() const { return {}; }
};

}  // namespace quillpad
