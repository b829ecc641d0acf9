#include "webhid_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>

#include "dev.h"
#include "platforms.h"

// clang-format off
EM_JS(int, qp_hid_available, (), {
    return QuillpadHid.available() ? 1 : 0;
});
EM_ASYNC_JS(int, qp_hid_granted, (int vendorId, int productId), {
    const devices = await QuillpadHid.granted();
    return devices.filter((d) => d.vendorId === vendorId && d.productId === productId).length;
});
EM_ASYNC_JS(int, qp_hid_request, (int vendorId, int productId, int usagePage, int usage), {
    if (!QuillpadHid.available()) return 0;
    QuillpadHid.listen();
    try {
        const chosen = await navigator.hid.requestDevice(
            {filters: [{vendorId, productId, usagePage, usage}]});
        return chosen.length;
    } catch (e) {
        return 0;
    }
});
// Fills out with pairs (device number, collection index); returns the pair count.
EM_ASYNC_JS(int, qp_hid_list, (int* out, int maxPairs), {
    const devices = await QuillpadHid.granted();
    let count = 0;
    for (const device of devices) {
        const number = QuillpadHid.number(device);
        for (let c = 0; c < device.collections.length && count < maxPairs; ++c) {
            HEAP32[(out >> 2) + 2 * count] = number;
            HEAP32[(out >> 2) + 2 * count + 1] = c;
            ++count;
        }
    }
    return count;
});
EM_ASYNC_JS(int, qp_hid_open, (int number), {
    const device = QuillpadHid.device(number);
    if (!device) return 0;
    if (device.opened) return 1;
    try {
        await device.open();
        return 1;
    } catch (e) {
        return device.opened ? 1 : 0;
    }
});
// vendor, product
EM_JS(int, qp_hid_attributes, (int number, int* out), {
    const device = QuillpadHid.device(number);
    if (!device) return 0;
    HEAP32[out >> 2] = device.vendorId;
    HEAP32[(out >> 2) + 1] = device.productId;
    return 1;
});
// usage page, usage, then the bits of the largest input, output and feature report
EM_JS(int, qp_hid_collection, (int number, int index, int* out), {
    const device = QuillpadHid.device(number);
    if (!device || index >= device.collections.length) return 0;
    const collection = device.collections[index];
    const bits = QuillpadHid.reportBits(collection);
    HEAP32[out >> 2] = collection.usagePage;
    HEAP32[(out >> 2) + 1] = collection.usage;
    for (let k = 0; k < 3; ++k) HEAP32[(out >> 2) + 2 + k] = bits[k];
    return 1;
});
EM_ASYNC_JS(int, qp_hid_send, (int number, int reportId, const unsigned char* data, int length,
                               int timeoutMs), {
    const device = QuillpadHid.device(number);
    if (!device || !device.opened) return 0;
    const bytes = HEAPU8.slice(data, data + length);
    return await QuillpadHid.settle(device.sendReport(reportId, bytes).then(() => 1), timeoutMs, 0);
});
// The count of bytes the device answered with (after the report ID), -1 on failure.
EM_ASYNC_JS(int, qp_hid_get_feature, (int number, int reportId, unsigned char* data, int room,
                                      int timeoutMs), {
    const device = QuillpadHid.device(number);
    if (!device || !device.opened) return -1;
    const view = await QuillpadHid.settle(device.receiveFeatureReport(reportId), timeoutMs, null);
    if (!view || QuillpadHid.gone.has(number)) return -1;
    const bytes = new Uint8Array(view.buffer, view.byteOffset, view.byteLength);
    HEAPU8.set(bytes.subarray(0, Math.min(room, bytes.length)), data);
    return bytes.length;
});
// clang-format on

namespace quillpad {
namespace {

// Device nodes: kind in the top two bits, the page's device number below (and the collection
// index in the low byte of an interface node).
constexpr DevNode kInterfaceNodes = 0x40000000u;
constexpr DevNode kHidNodes = 0x80000000u;
constexpr DevNode kKeypadNodes = 0xC0000000u;
constexpr DevNode kKindMask = 0xC0000000u;
constexpr int kMaxDevice = 0x3FFFFF;
constexpr int kMaxCollection = 0xFF;
constexpr int kMaxInterfaces = 256;

std::string PathOf(int device, int collection) {
    return "webhid:" + std::to_string(device) + ":" + std::to_string(collection);
}

}  // namespace

bool WebHidPlatform::Available() {
    return qp_hid_available() != 0;
}

int WebHidPlatform::GrantedKeypads() {
    return qp_hid_granted(kKeypadVendorId, kKeypadProductId);
}

bool WebHidPlatform::RequestKeypad() {
    return qp_hid_request(kKeypadVendorId, kKeypadProductId, kKeypadUsagePage, kKeypadUsage) > 0;
}

InterfaceList WebHidPlatform::OpenInterfaceList() {
    list_.clear();
    std::vector<int> pairs(2 * kMaxInterfaces);
    const int count = qp_hid_list(pairs.data(), kMaxInterfaces);
    for (int i = 0; i < count; ++i) {
        const Interface iface{pairs[2 * i], pairs[2 * i + 1]};
        if (iface.device >= 1 && iface.device <= kMaxDevice && iface.collection >= 0 &&
            iface.collection <= kMaxCollection) {
            list_.push_back(iface);
        }
    }
    return &listToken_;
}

bool WebHidPlatform::InterfaceExists(InterfaceList list, int index) {
    return list == &listToken_ && index >= 0 && index < static_cast<int>(list_.size());
}

bool WebHidPlatform::GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                        DevNode& node) {
    if (!InterfaceExists(list, index)) {
        return false;
    }
    const Interface& iface = list_[static_cast<std::size_t>(index)];
    path = PathOf(iface.device, iface.collection);
    node = kInterfaceNodes | (static_cast<DevNode>(iface.device) << 8) |
           static_cast<DevNode>(iface.collection);
    return true;
}

void WebHidPlatform::CloseInterfaceList(InterfaceList) {
    list_.clear();
}

DevNode WebHidPlatform::GetParent(DevNode node) {
    if (node == kNoDevNode) {
        return kNoDevNode;
    }
    switch (node & kKindMask) {
        case kInterfaceNodes:
            return kHidNodes | ((node & ~kKindMask) >> 8);
        case kHidNodes:
            return kKeypadNodes | (node & ~kKindMask);
        default:
            return kNoDevNode;
    }
}

PlatformHandle WebHidPlatform::Open(const std::string& path, bool, bool, bool, bool) {
    int device = 0;
    int collection = 0;
    char rest = 0;
    if (std::sscanf(path.c_str(), "webhid:%d:%d%c", &device, &collection, &rest) != 2 ||
        device < 1 || device > kMaxDevice || collection < 0 || collection > kMaxCollection) {
        return kInvalidHandle;
    }
    if (qp_hid_open(device) == 0) {
        return kInvalidHandle;
    }
    const PlatformHandle handle = nextHandle_++;
    handles_[handle] = Interface{device, collection};
    return handle;
}

void WebHidPlatform::Close(PlatformHandle handle) {
    handles_.erase(handle);
}

const WebHidPlatform::Interface* WebHidPlatform::Find(PlatformHandle handle) const {
    const auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : &it->second;
}

bool WebHidPlatform::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    const Interface* iface = Find(handle);
    int ids[2] = {};
    if (iface == nullptr || qp_hid_attributes(iface->device, ids) == 0) {
        return false;
    }
    attributes.vendorId = static_cast<std::uint16_t>(ids[0]);
    attributes.productId = static_cast<std::uint16_t>(ids[1]);
    attributes.versionNumber = 0;  // WebHID does not tell it
    return true;
}

bool WebHidPlatform::GetPreparsedData(PlatformHandle handle, PreparsedData& data) {
    const Interface* iface = Find(handle);
    if (iface == nullptr) {
        return false;
    }
    auto preparsed = std::make_unique<Preparsed>(Preparsed{*iface});
    data = preparsed.get();
    preparsed_[preparsed.get()] = std::move(preparsed);
    return true;
}

void WebHidPlatform::FreePreparsedData(PreparsedData data) {
    preparsed_.erase(static_cast<Preparsed*>(data));
}

bool WebHidPlatform::GetCaps(PreparsedData data, HidCaps& caps) {
    const auto it = preparsed_.find(static_cast<Preparsed*>(data));
    int values[5] = {};
    if (it == preparsed_.end() ||
        qp_hid_collection(it->second->iface.device, it->second->iface.collection, values) == 0) {
        return false;
    }
    caps = HidCaps{};
    caps.usagePage = static_cast<std::uint16_t>(values[0]);
    caps.usage = static_cast<std::uint16_t>(values[1]);
    for (int k = 0; k < kReportKindCount; ++k) {
        const int bits = values[2 + k];
        // Lengths count the report ID byte, as Windows states them; no report, no length.
        const int length = bits > 0 ? (bits + 7) / 8 + 1 : 0;
        caps.reportByteLength[k] = static_cast<std::uint16_t>(length > 0xFFFF ? 0xFFFF : length);
    }
    return true;
}

void WebHidPlatform::GetButtonCaps(ReportKind, PreparsedData, std::vector<HidButtonCaps>& caps) {
    caps.clear();
}

void WebHidPlatform::GetValueCaps(ReportKind, PreparsedData, std::vector<HidValueCaps>& caps) {
    caps.clear();
}

std::uint32_t WebHidPlatform::MaxUsageListLength(ReportKind, std::uint16_t, PreparsedData) {
    return 0;
}

bool WebHidPlatform::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                                 std::size_t length, std::size_t& written) {
    written = 0;
    transferError_.clear();
    const Interface* iface = Find(handle);
    if (iface == nullptr || report == nullptr || length == 0) {
        return false;
    }
    // WebHID takes the report ID apart from the data.
    if (qp_hid_send(iface->device, report[0], report + 1, static_cast<int>(length - 1),
                    kTransferTimeoutMs) == 0) {
        transferError_ =
            "the keypad did not take an output report (unplugged, or no answer "
            "within " +
            std::to_string(kTransferTimeoutMs / 1000) + " seconds)";
        return false;
    }
    written = length;
    return true;
}

bool WebHidPlatform::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    transferError_.clear();
    const Interface* iface = Find(handle);
    if (iface == nullptr || buffer == nullptr || length == 0) {
        return false;
    }
    // The browser hands over the report without its ID byte; some browser versions on
    // Windows kept the leading 0 of devices without numbered reports, which one byte more
    // than the report holds tells apart.
    const std::size_t room = length - 1;
    std::vector<std::uint8_t> answer(room + 1);
    const int got = qp_hid_get_feature(iface->device, buffer[0], answer.data(),
                                       static_cast<int>(answer.size()), kTransferTimeoutMs);
    const std::size_t skip = got == static_cast<int>(room) + 1 && answer[0] == buffer[0] ? 1 : 0;
    if (got < 0 || static_cast<std::size_t>(got) - skip != room) {
        transferError_ = got < 0 ? "the keypad did not answer the feature request (unplugged, "
                                   "or no answer within " +
                                       std::to_string(kTransferTimeoutMs / 1000) + " seconds)"
                                 : "the keypad answered with " + std::to_string(got) +
                                       " bytes instead of " + std::to_string(room);
        return false;
    }
    std::copy(answer.begin() + static_cast<std::ptrdiff_t>(skip),
              answer.begin() + static_cast<std::ptrdiff_t>(skip + room), buffer + 1);
    return true;
}

NotificationHandle WebHidPlatform::RegisterNotification(void*, PlatformHandle) {
    return nullptr;
}

void WebHidPlatform::UnregisterNotification(NotificationHandle) {}

std::unique_ptr<HidPlatform> MakeDefaultPlatform() {
    return std::make_unique<WebHidPlatform>();
}

}  // namespace quillpad
