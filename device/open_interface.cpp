// Opening one HID interface, checking it against the keypad's identity, and building the
// buffers and capability lists of an open interface.
#include <algorithm>

#include "dev_allocator.h"
#include "dev_internal.h"

namespace quillpad {

namespace {

// The data lists describe what nothing reads afterwards; a descriptor that declares absurd
// usage ranges must not make them huge.
constexpr std::size_t kMaxDataListEntries = 1u << 16;
constexpr std::uint32_t kMaxUsageList = 1u << 16;

void BuildDataList(HidPlatform& platform, ReportKind kind, PreparsedData data,
                   ReportKindData& out) {
    out.dataList.clear();
    for (const HidButtonCaps& caps : out.buttonCaps) {
        if (out.dataList.size() >= kMaxDataListEntries) {
            break;
        }
        DataListEntry entry;
        entry.isButton = true;
        entry.usagePage = caps.usagePage;
        entry.reportId = caps.reportId;
        entry.usageMin = caps.usageMin;
        entry.usageMax = caps.isRange ? caps.usageMax : caps.usageMin;
        entry.maxUsageListLength =
            std::min(platform.MaxUsageListLength(kind, caps.usagePage, data), kMaxUsageList);
        entry.usageList.assign(entry.maxUsageListLength, 0);
        out.dataList.push_back(std::move(entry));
    }
    for (const HidValueCaps& caps : out.valueCaps) {
        std::uint32_t first = caps.usageMin;
        std::uint32_t last = caps.isRange ? caps.usageMax : caps.usageMin;
        for (std::uint32_t usage = first; usage <= last; ++usage) {
            if (out.dataList.size() >= kMaxDataListEntries) {
                break;
            }
            DataListEntry entry;
            entry.usagePage = caps.usagePage;
            entry.reportId = caps.reportId;
            entry.usageMin = entry.usageMax = static_cast<std::uint16_t>(usage);
            out.dataList.push_back(std::move(entry));
        }
    }
    out.dataListLength = static_cast<std::uint32_t>(out.dataList.size());
}

}  // namespace

bool DevLoadCaps(InterfaceHandle& iface) {
    HidPlatform& platform = DevGetPlatform();
    for (int k = 0; k < kReportKindCount; ++k) {
        const auto kind = static_cast<ReportKind>(k);
        ReportKindData& out = iface.kinds[k];
        out.reportBufferLength = iface.caps.reportByteLength[k];
        out.reportBuffer = DevGetAllocator().Bytes(out.reportBufferLength);
        if (!out.reportBuffer) {
            out.reportBufferLength = 0;
            return false;
        }
        out.buttonCaps.assign(iface.caps.buttonCapCount[k], HidButtonCaps{});
        if (!out.buttonCaps.empty()) {
            platform.GetButtonCaps(kind, iface.preparsedData, out.buttonCaps);
        }
        out.valueCaps.assign(iface.caps.valueCapCount[k], HidValueCaps{});
        if (!out.valueCaps.empty()) {
            platform.GetValueCaps(kind, iface.preparsedData, out.valueCaps);
        }
        BuildDataList(platform, kind, iface.preparsedData, out);
    }
    return true;
}

void DevCloseInterface(InterfaceHandle& iface) {
    // Only touch the platform when there is something of it to release: closing an empty
    // slot makes no platform call.
    if (iface.notification != nullptr) {
        DevGetPlatform().UnregisterNotification(iface.notification);
        iface.notification = nullptr;
    }
    if (iface.fileHandle != kInvalidHandle) {
        DevGetPlatform().Close(iface.fileHandle);
        iface.fileHandle = kInvalidHandle;
    }
    if (iface.preparsedData != nullptr) {
        DevGetPlatform().FreePreparsedData(iface.preparsedData);
        iface.preparsedData = nullptr;
    }
    for (ReportKindData& kind : iface.kinds) {
        kind = ReportKindData{};
    }
    iface.path.reset();
    iface.openedForRead = iface.openedForWrite = 0;
    iface.openedOverlapped = iface.openedExclusive = 0;
    iface.caps = HidCaps{};
    iface.attributes = HidAttributes{};
    iface.open = 0;
}

bool DevOpenInterface(const char* path, bool read, bool write, bool overlapped, bool exclusive,
                      bool loadCaps, InterfaceHandle& iface, void* window, std::uint16_t usagePage,
                      std::uint16_t usage) {
    HidPlatform& platform = DevGetPlatform();
    iface.path = DevGetAllocator().Copy(path);
    if (!iface.path) {
        return false;
    }
    iface.fileHandle = platform.Open(iface.path.get(), read, write, overlapped, exclusive);
    if (iface.fileHandle == kInvalidHandle) {
        DevCloseInterface(iface);
        return false;
    }
    iface.openedForRead = read ? 1 : 0;
    iface.openedForWrite = write ? 1 : 0;
    iface.openedOverlapped = overlapped ? 1 : 0;
    iface.openedExclusive = exclusive ? 1 : 0;

    if (!platform.GetAttributes(iface.fileHandle, iface.attributes) ||
        iface.attributes.vendorId != kKeypadVendorId ||
        iface.attributes.productId != kKeypadProductId) {
        DevCloseInterface(iface);
        return false;
    }
    if (!loadCaps) {
        return true;
    }
    if (!platform.GetPreparsedData(iface.fileHandle, iface.preparsedData)) {
        iface.preparsedData = nullptr;  // a failed call hands over nothing to free
        DevCloseInterface(iface);
        return false;
    }
    if (!platform.GetCaps(iface.preparsedData, iface.caps) || iface.caps.usagePage != usagePage ||
        iface.caps.usage != usage) {
        DevCloseInterface(iface);
        return false;
    }
    if (!DevLoadCaps(iface)) {
        DevCloseInterface(iface);
        return false;
    }
    iface.notification = platform.RegisterNotification(window, iface.fileHandle);
    iface.open = 1;
    return true;
}

}  // namespace quillpad
