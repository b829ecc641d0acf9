// The device library's own records: the process-wide table of open keypads, the record of one
// open HID interface, the command header of every transfer, and the steps the public Dev...
// functions are built from. Other layers use dev.h; tests and backends may use this header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dev.h"
#include "hid_platform.h"

namespace quillpad {

// One entry of an interface's per-kind data list (nothing reads these after they are built;
// they describe what a report of the kind can carry).
struct DataListEntry {
    bool isButton = false;
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
    std::uint16_t usageMin = 0;  // buttons: the usage range; values: the one usage
    std::uint16_t usageMax = 0;
    std::uint32_t maxUsageListLength = 0;  // buttons only
    std::vector<std::uint16_t> usageList;  // buttons only: zero-filled, that many usages
    bool parserOk = true;
    bool isSet = false;
};

// What DevLoadCaps builds for one report kind.
struct ReportKindData {
    std::unique_ptr<std::uint8_t[]> reportBuffer;  // zero-filled, the kind's report length
    std::size_t reportBufferLength = 0;
    std::vector<DataListEntry> dataList;
    std::uint32_t dataListLength = 0;
    std::vector<HidButtonCaps> buttonCaps;
    std::vector<HidValueCaps> valueCaps;
};

// One open HID interface. It owns its path copy, file handle, preparsed data, notification
// registration and every buffer DevLoadCaps builds; DevCloseInterface releases them all.
struct InterfaceHandle {
    std::unique_ptr<char[]> path;  // NUL-terminated copy of the device path
    PlatformHandle fileHandle = kInvalidHandle;
    std::int32_t openedForRead = 0;
    std::int32_t openedForWrite = 0;
    std::int32_t openedOverlapped = 0;
    std::int32_t openedExclusive = 0;
    PreparsedData preparsedData = nullptr;
    HidCaps caps;
    HidAttributes attributes;
    ReportKindData kinds[kReportKindCount];  // input, output, feature
    NotificationHandle notification = nullptr;
    std::int32_t open = 0;

    const ReportKindData& Kind(ReportKind kind) const { return kinds[KindIndex(kind)]; }
    ReportKindData& Kind(ReportKind kind) { return kinds[KindIndex(kind)]; }
};

// One physical keypad: keyed by the device node two levels above its HID interfaces.
struct DeviceSlot {
    DevNode deviceNode = kNoDevNode;  // kNoDevNode: the slot is empty
    std::int32_t inUse = 0;
    InterfaceHandle iface;  // the keypad's open configuration interface
};

struct DeviceTable {
    std::array<DeviceSlot, kMaxDevices> slots;
    int deviceCount = 0;
    int currentIndex = -1;
};

// The process-wide table.
DeviceTable& GetDeviceTable();

// The bytes that start every block transfer (keypad_interface.h).
struct CommandHeader {
    std::array<std::uint8_t, kCommandHeaderSize> bytes{};
};
// 0A 0B 0C 0D, low 8 bits of address, low 8 bits of length, operation, 00.
CommandHeader MakeCommandHeader(int address, int length, std::uint8_t operation);

// Opens path into iface and checks it against the keypad's identity (vendor, product, and
// when loadCaps the collection's usagePage and usage). On false iface holds nothing.
bool DevOpenInterface(const char* path, bool read, bool write, bool overlapped, bool exclusive,
                      bool loadCaps, InterfaceHandle& iface, void* window, std::uint16_t usagePage,
                      std::uint16_t usage);
// Builds the report buffers and capability lists of an interface whose preparsed data and
// capabilities are present. False when a buffer cannot be allocated (the caller then closes
// the interface: an open interface always has its output report buffer).
bool DevLoadCaps(InterfaceHandle& iface);
// Releases everything iface holds (handle, notification, preparsed data, buffers, path).
void DevCloseInterface(InterfaceHandle& iface);
// Sends length bytes as a run of output reports through iface; 1 on success.
int DevWriteReports(InterfaceHandle& iface, const std::uint8_t* bytes, int length);

}  // namespace quillpad
