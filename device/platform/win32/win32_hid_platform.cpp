// The Windows HID backend. HANDLEs travel through the library as PlatformHandle (an intptr_t:
// INVALID_HANDLE_VALUE is -1 either way), preparsed data and interface lists as void*.
#include "win32_hid_platform.h"

// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
#include <dbt.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "named_claim.h"

namespace quillpad {
namespace {

#ifndef _WIN64
// The record sizes the 32-bit HID stack expects in the size fields.
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5);
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(sizeof(DEV_BROADCAST_HANDLE) == 44);
#endif

// DIGCF_PRESENT | DIGCF_DEVICEINTERFACE: present devices only, listed by interface.
constexpr DWORD kListFlags = 0x12;

HANDLE ToHandle(PlatformHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
PlatformHandle FromHandle(HANDLE handle) {
    return reinterpret_cast<PlatformHandle>(handle);
}
HDEVINFO ToList(InterfaceList list) {
    return static_cast<HDEVINFO>(list);
}
PHIDP_PREPARSED_DATA ToPreparsed(PreparsedData data) {
    return static_cast<PHIDP_PREPARSED_DATA>(data);
}
HIDP_REPORT_TYPE ToReportType(ReportKind kind) {
    switch (kind) {
        case ReportKind::kInput:
            return HidP_Input;
        case ReportKind::kOutput:
            return HidP_Output;
        case ReportKind::kFeature:
            break;
    }
    return HidP_Feature;
}

GUID HidInterfaceClass() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

bool EnumInterface(HDEVINFO list, int index, SP_DEVICE_INTERFACE_DATA& data) {
    if (list == nullptr || list == INVALID_HANDLE_VALUE || index < 0)
        return false;
    GUID guid = HidInterfaceClass();
    data = {};
    data.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    return SetupDiEnumDeviceInterfaces(list, nullptr, &guid, static_cast<DWORD>(index), &data) !=
           FALSE;
}

// The fields both kinds of capability share.
template <typename Out, typename In>
void CopyCommonCaps(Out& out, const In& in) {
    out.usagePage = in.UsagePage;
    out.reportId = in.ReportID;
    out.isRange = in.IsRange != FALSE;
    out.linkCollection = in.LinkCollection;
    out.linkUsagePage = in.LinkUsagePage;
    out.linkUsage = in.LinkUsage;
    if (out.isRange) {
        out.usageMin = in.Range.UsageMin;
        out.usageMax = in.Range.UsageMax;
        out.dataIndexMin = in.Range.DataIndexMin;
        out.dataIndexMax = in.Range.DataIndexMax;
    } else {
        out.usageMin = out.usageMax = in.NotRange.Usage;
        out.dataIndexMin = out.dataIndexMax = in.NotRange.DataIndex;
    }
}

// Asks the parser for up to caps.size() capabilities of one kind (every usage page, link
// collection and usage) and leaves in caps the ones it filled.
template <typename Out, typename In, typename Fetch>
void FetchCaps(std::vector<Out>& caps, Fetch fetch) {
    const USHORT wanted = static_cast<USHORT>(std::min<std::size_t>(caps.size(), 0xFFFF));
    if (wanted == 0) {
        caps.clear();
        return;
    }
    std::unique_ptr<In[]> raw(new (std::nothrow) In[wanted]());
    USHORT filled = wanted;
    if (!raw || fetch(raw.get(), &filled) != HIDP_STATUS_SUCCESS) {
        caps.clear();
        return;
    }
    filled = std::min(filled, wanted);
    caps.resize(filled);
    for (USHORT i = 0; i < filled; ++i) {
        CopyCommonCaps(caps[i], raw[i]);
        if constexpr (std::is_same_v<In, HIDP_VALUE_CAPS>) {
            caps[i].bitSize = raw[i].BitSize;
            caps[i].reportCount = raw[i].ReportCount;
            caps[i].logicalMin = raw[i].LogicalMin;
            caps[i].logicalMax = raw[i].LogicalMax;
        }
    }
}

}  // namespace

InterfaceList Win32HidPlatform::OpenInterfaceList() {
    GUID guid = HidInterfaceClass();
    HDEVINFO list = SetupDiGetClassDevsA(&guid, nullptr, nullptr, kListFlags);
    if (list == INVALID_HANDLE_VALUE)
        return nullptr;
    return list;
}

bool Win32HidPlatform::InterfaceExists(InterfaceList list, int index) {
    SP_DEVICE_INTERFACE_DATA data;
    return EnumInterface(ToList(list), index, data);
}

bool Win32HidPlatform::GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                          DevNode& node) {
    HDEVINFO info = ToList(list);
    SP_DEVICE_INTERFACE_DATA data;
    if (!EnumInterface(info, index, data))
        return false;

    // First the size, then the detail into a buffer of that size.
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(info, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return false;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[required]());
    if (!buffer)
        return false;
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(SP_DEVINFO_DATA);
    if (!SetupDiGetDeviceInterfaceDetailA(info, &data, detail, required, nullptr, &device)) {
        return false;
    }
    // The path ends at its NUL, or at the end of the buffer should the platform leave none.
    const std::size_t room = required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    const char* text = detail->DevicePath;
    path.assign(text, static_cast<std::size_t>(std::find(text, text + room, '\0') - text));
    node = device.DevInst;
    return true;
}

void Win32HidPlatform::CloseInterfaceList(InterfaceList list) {
    if (list != nullptr)
        SetupDiDestroyDeviceInfoList(ToList(list));
}

DevNode Win32HidPlatform::GetParent(DevNode node) {
    // A failed step keeps the node reached so far, so interfaces still group by the highest
    // node the configuration manager could name. Wine, for one, answers CR_NO_SUCH_DEVNODE
    // for the parents of its own HID devices; the parent is undefined then and never used.
    if (node == kNoDevNode)
        return kNoDevNode;
    DEVINST parent = kNoDevNode;
    if (CM_Get_Parent(&parent, node, 0) != CR_SUCCESS || parent == kNoDevNode)
        return node;
    return parent;
}

PlatformHandle Win32HidPlatform::Open(const std::string& path, bool read, bool write,
                                      bool overlapped, bool exclusive) {
    DWORD access = 0;
    if (read)
        access |= GENERIC_READ;
    if (write)
        access |= GENERIC_WRITE;
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD flags = overlapped ? FILE_FLAG_OVERLAPPED : 0;
    HANDLE handle =
        CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    return handle == INVALID_HANDLE_VALUE ? kInvalidHandle : FromHandle(handle);
}

void Win32HidPlatform::Close(PlatformHandle handle) {
    if (handle != kInvalidHandle)
        CloseHandle(ToHandle(handle));
}

bool Win32HidPlatform::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    HIDD_ATTRIBUTES raw = {};
    raw.Size = sizeof(raw);
    if (!HidD_GetAttributes(ToHandle(handle), &raw))
        return false;
    attributes.vendorId = raw.VendorID;
    attributes.productId = raw.ProductID;
    attributes.versionNumber = raw.VersionNumber;
    return true;
}

bool Win32HidPlatform::GetPreparsedData(PlatformHandle handle, PreparsedData& data) {
    PHIDP_PREPARSED_DATA raw = nullptr;
    if (!HidD_GetPreparsedData(ToHandle(handle), &raw) || raw == nullptr)
        return false;
    data = raw;
    return true;
}

void Win32HidPlatform::FreePreparsedData(PreparsedData data) {
    if (data != nullptr)
        HidD_FreePreparsedData(ToPreparsed(data));
}

bool Win32HidPlatform::GetCaps(PreparsedData data, HidCaps& caps) {
    HIDP_CAPS raw = {};
    if (HidP_GetCaps(ToPreparsed(data), &raw) != HIDP_STATUS_SUCCESS)
        return false;
    caps.usage = raw.Usage;
    caps.usagePage = raw.UsagePage;
    caps.reportByteLength[0] = raw.InputReportByteLength;
    caps.reportByteLength[1] = raw.OutputReportByteLength;
    caps.reportByteLength[2] = raw.FeatureReportByteLength;
    caps.buttonCapCount[0] = raw.NumberInputButtonCaps;
    caps.buttonCapCount[1] = raw.NumberOutputButtonCaps;
    caps.buttonCapCount[2] = raw.NumberFeatureButtonCaps;
    caps.valueCapCount[0] = raw.NumberInputValueCaps;
    caps.valueCapCount[1] = raw.NumberOutputValueCaps;
    caps.valueCapCount[2] = raw.NumberFeatureValueCaps;
    caps.dataIndexCount[0] = raw.NumberInputDataIndices;
    caps.dataIndexCount[1] = raw.NumberOutputDataIndices;
    caps.dataIndexCount[2] = raw.NumberFeatureDataIndices;
    caps.linkCollectionNodeCount = raw.NumberLinkCollectionNodes;
    return true;
}

void Win32HidPlatform::GetButtonCaps(ReportKind kind, PreparsedData data,
                                     std::vector<HidButtonCaps>& caps) {
    FetchCaps<HidButtonCaps, HIDP_BUTTON_CAPS>(caps, [&](HIDP_BUTTON_CAPS* raw, USHORT* length) {
        return HidP_GetSpecificButtonCaps(ToReportType(kind), 0, 0, 0, raw, length,
                                          ToPreparsed(data));
    });
}

void Win32HidPlatform::GetValueCaps(ReportKind kind, PreparsedData data,
                                    std::vector<HidValueCaps>& caps) {
    FetchCaps<HidValueCaps, HIDP_VALUE_CAPS>(caps, [&](HIDP_VALUE_CAPS* raw, USHORT* length) {
        return HidP_GetSpecificValueCaps(ToReportType(kind), 0, 0, 0, raw, length,
                                         ToPreparsed(data));
    });
}

std::uint32_t Win32HidPlatform::MaxUsageListLength(ReportKind kind, std::uint16_t usagePage,
                                                   PreparsedData data) {
    return HidP_MaxUsageListLength(ToReportType(kind), usagePage, ToPreparsed(data));
}

bool Win32HidPlatform::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                                   std::size_t length, std::size_t& written) {
    DWORD count = 0;
    const BOOL ok =
        WriteFile(ToHandle(handle), report, static_cast<DWORD>(length), &count, nullptr);
    written = count;
    return ok != FALSE;
}

bool Win32HidPlatform::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    return HidD_GetFeature(ToHandle(handle), buffer, static_cast<ULONG>(length)) != FALSE;
}

NotificationHandle Win32HidPlatform::RegisterNotification(void* window, PlatformHandle handle) {
    if (window == nullptr)
        return nullptr;
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = ToHandle(handle);
    return RegisterDeviceNotificationA(static_cast<HWND>(window), &filter,
                                       DEVICE_NOTIFY_WINDOW_HANDLE);
}

void Win32HidPlatform::UnregisterNotification(NotificationHandle notification) {
    if (notification != nullptr)
        UnregisterDeviceNotification(notification);
}

namespace {

class InterfaceClaim : public KeypadLock {
  public:
    NamedClaim claim;
};

}  // namespace

std::unique_ptr<KeypadLock> Win32HidPlatform::LockKeypad(const std::string& path,
                                                         std::string& reason,
                                                         const std::function<bool()>& waiting) {
    auto lock = std::make_unique<InterfaceClaim>();
    if (!lock->claim.Take(NamedClaim::NameFor("keypad", path), reason, waiting)) {
        reason = "cannot claim " + path + ": " + reason;
        return nullptr;
    }
    return lock;
}

}  // namespace quillpad
