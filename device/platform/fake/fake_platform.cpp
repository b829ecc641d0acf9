#include "fake_platform.h"

#include <algorithm>

namespace quillpad {

FakeInterface FakePlatform::KeypadInterface(const std::string& path, DevNode grandparent,
                                            std::uint16_t outputLength) {
    FakeInterface iface = Interface(path, grandparent, kKeypadVendorId, kKeypadProductId,
                                    kKeypadUsagePage, kKeypadUsage);
    iface.caps.reportByteLength[KindIndex(ReportKind::kOutput)] = outputLength;
    iface.caps.reportByteLength[KindIndex(ReportKind::kFeature)] = kKeypadFeatureReportLength;
    iface.keypad = true;
    return iface;
}

FakeInterface FakePlatform::Interface(const std::string& path, DevNode grandparent,
                                      std::uint16_t vendor, std::uint16_t product,
                                      std::uint16_t usagePage, std::uint16_t usage) {
    FakeInterface iface;
    iface.path = path;
    iface.grandparent = grandparent;
    iface.attributes.vendorId = vendor;
    iface.attributes.productId = product;
    iface.caps.usagePage = usagePage;
    iface.caps.usage = usage;
    iface.caps.reportByteLength[KindIndex(ReportKind::kInput)] = 9;
    iface.caps.buttonCapCount[KindIndex(ReportKind::kInput)] = 1;
    iface.caps.valueCapCount[KindIndex(ReportKind::kInput)] = 1;
    return iface;
}

FakePlatform::~FakePlatform() = default;

KeypadProtocol& FakePlatform::Keypad(const std::string& path) {
    auto it = keypads_.find(path);
    if (it == keypads_.end()) {
        std::size_t length = kSimulatedOutputReportLength;
        for (const FakeInterface& iface : interfaces_) {
            if (iface.path == path) {
                length = iface.caps.OutputReportByteLength();
            }
        }
        it =
            keypads_.emplace(path, KeypadProtocol(FactoryMemory(), length, MemoryEnd::kWrap)).first;
    }
    return it->second;
}

void FakePlatform::Add(FakeInterface iface) {
    if (iface.node == 0) {
        iface.node = nextNode_++;
    }
    if (iface.parent == 0) {
        iface.parent = nextNode_++;
    }
    parents_[iface.node] = iface.parent;
    parents_[iface.parent] = iface.grandparent;
    interfaces_.push_back(std::move(iface));
}

void FakePlatform::Fail(FakeOp op, const std::string& path) {
    failPaths_.emplace(op, path);
}

void FakePlatform::FailNth(FakeOp op, int n) {
    failNth_[op].insert(counts_[static_cast<int>(op)] + n);
}

void FakePlatform::ShortWriteNth(int n) {
    shortWrites_.insert(counts_[static_cast<int>(FakeOp::kWriteReport)] + n);
}

void FakePlatform::ClearFailures() {
    failPaths_.clear();
    failNth_.clear();
    shortWrites_.clear();
}

int FakePlatform::TotalCalls() const {
    int total = 0;
    for (int count : counts_) {
        total += count;
    }
    return total;
}

void FakePlatform::ClearCalls() {
    calls_.clear();
    counts_.fill(0);
    failNth_.clear();
    shortWrites_.clear();
}

std::vector<std::vector<std::uint8_t>> FakePlatform::ReportsTo(const std::string& path) const {
    std::vector<std::vector<std::uint8_t>> reports;
    for (const FakeCall& call : calls_) {
        if (call.op == FakeOp::kWriteReport && call.path == path) {
            reports.push_back(call.bytes);
        }
    }
    return reports;
}

int FakePlatform::OpenHandlesOn(const std::string& path) const {
    return static_cast<int>(std::count_if(handles_.begin(), handles_.end(), [&](const auto& h) {
        return interfaces_[h.second].path == path;
    }));
}

bool FakePlatform::Call(FakeOp op, const std::string& path, PlatformHandle handle) {
    const int number = counts_[static_cast<int>(op)]++;
    if (recording_) {
        calls_.push_back(FakeCall{op, path, handle, {}, 0, nullptr});
    }
    auto nth = failNth_.find(op);
    if (nth != failNth_.end() && nth->second.count(number) != 0) {
        return false;
    }
    auto range = failPaths_.equal_range(op);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.empty() || it->second == path) {
            return false;
        }
    }
    return true;
}

const FakeInterface* FakePlatform::ByHandle(PlatformHandle handle) {
    auto it = handles_.find(handle);
    if (it == handles_.end()) {
        misuse_.push_back("call on a handle that is not open: " + std::to_string(handle));
        return nullptr;
    }
    return &interfaces_[it->second];
}

const FakeInterface* FakePlatform::ByPreparsed(PreparsedData data) {
    auto it = preparsed_.find(data);
    if (it == preparsed_.end()) {
        misuse_.push_back("call with preparsed data that is not held");
        return nullptr;
    }
    return &interfaces_[it->second->interfaceIndex];
}

InterfaceList FakePlatform::OpenInterfaceList() {
    if (!Call(FakeOp::kOpenList, "")) {
        return nullptr;
    }
    ++openLists_;
    return &listToken_;
}

bool FakePlatform::InterfaceExists(InterfaceList list, int index) {
    Call(FakeOp::kInterfaceExists, "");
    return list == &listToken_ && index >= 0 && static_cast<std::size_t>(index) < size();
}

bool FakePlatform::GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                      DevNode& node) {
    if (list != &listToken_ || index < 0 || static_cast<std::size_t>(index) >= size()) {
        Call(FakeOp::kGetDetail, "");
        return false;
    }
    const FakeInterface& iface = interfaces_[index];
    if (!Call(FakeOp::kGetDetail, iface.path)) {
        return false;
    }
    path = iface.path;
    node = iface.node;
    return true;
}

void FakePlatform::CloseInterfaceList(InterfaceList list) {
    Call(FakeOp::kCloseList, "");
    if (list != &listToken_ || openLists_ == 0) {
        misuse_.push_back("closing a list that is not open");
        return;
    }
    --openLists_;
}

DevNode FakePlatform::GetParent(DevNode node) {
    Call(FakeOp::kGetParent, "");
    auto it = parents_.find(node);
    return it == parents_.end() ? kNoDevNode : it->second;
}

PlatformHandle FakePlatform::Open(const std::string& path, bool, bool, bool, bool) {
    if (!Call(FakeOp::kOpen, path)) {
        return kInvalidHandle;
    }
    for (std::size_t i = 0; i < interfaces_.size(); ++i) {
        if (interfaces_[i].path == path) {
            const PlatformHandle handle = nextHandle_++;
            handles_[handle] = static_cast<int>(i);
            if (recording_) {
                calls_.back().handle = handle;
            }
            return handle;
        }
    }
    return kInvalidHandle;
}

void FakePlatform::Close(PlatformHandle handle) {
    auto it = handles_.find(handle);
    Call(FakeOp::kClose, it == handles_.end() ? "" : interfaces_[it->second].path, handle);
    if (it == handles_.end()) {
        misuse_.push_back("close of a handle that is not open: " + std::to_string(handle));
        return;
    }
    handles_.erase(it);
}

bool FakePlatform::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    const FakeInterface* iface = ByHandle(handle);
    if (!Call(FakeOp::kGetAttributes, iface ? iface->path : "", handle) || iface == nullptr) {
        return false;
    }
    attributes = iface->attributes;
    return true;
}

bool FakePlatform::GetPreparsedData(PlatformHandle handle, PreparsedData& data) {
    const FakeInterface* iface = ByHandle(handle);
    if (!Call(FakeOp::kGetPreparsed, iface ? iface->path : "", handle) || iface == nullptr) {
        return false;
    }
    auto record = std::make_unique<Preparsed>(Preparsed{handles_[handle]});
    data = record.get();
    preparsed_[data] = std::move(record);
    return true;
}

void FakePlatform::FreePreparsedData(PreparsedData data) {
    const FakeInterface* iface = ByPreparsed(data);
    Call(FakeOp::kFreePreparsed, iface ? iface->path : "");
    preparsed_.erase(data);
}

bool FakePlatform::GetCaps(PreparsedData data, HidCaps& caps) {
    const FakeInterface* iface = ByPreparsed(data);
    if (!Call(FakeOp::kGetCaps, iface ? iface->path : "") || iface == nullptr) {
        return false;
    }
    caps = iface->caps;
    return true;
}

void FakePlatform::GetButtonCaps(ReportKind, PreparsedData data, std::vector<HidButtonCaps>& caps) {
    const FakeInterface* iface = ByPreparsed(data);
    Call(FakeOp::kGetButtonCaps, iface ? iface->path : "");
    std::uint16_t usage = 1;
    for (HidButtonCaps& one : caps) {
        one.usagePage = 0x09;
        one.isRange = true;
        one.usageMin = usage;
        one.usageMax = static_cast<std::uint16_t>(usage + 2);
        usage = static_cast<std::uint16_t>(usage + 3);
    }
}

void FakePlatform::GetValueCaps(ReportKind, PreparsedData data, std::vector<HidValueCaps>& caps) {
    const FakeInterface* iface = ByPreparsed(data);
    Call(FakeOp::kGetValueCaps, iface ? iface->path : "");
    for (HidValueCaps& one : caps) {
        one.usagePage = 0x01;
        one.isRange = true;
        one.usageMin = 0x30;
        one.usageMax = 0x31;
    }
}

std::uint32_t FakePlatform::MaxUsageListLength(ReportKind, std::uint16_t, PreparsedData data) {
    const FakeInterface* iface = ByPreparsed(data);
    Call(FakeOp::kMaxUsageListLength, iface ? iface->path : "");
    return 3;
}

bool FakePlatform::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                               std::size_t length, std::size_t& written) {
    written = 0;
    const FakeInterface* iface = ByHandle(handle);
    const int number = counts_[static_cast<int>(FakeOp::kWriteReport)];
    const bool ok = Call(FakeOp::kWriteReport, iface ? iface->path : "", handle);
    if (recording_) {
        calls_.back().bytes.assign(report, report + length);
        calls_.back().length = length;
    }
    if (!ok || iface == nullptr) {
        return false;
    }
    if (iface->keypad) {
        if (length < 2) {
            return false;  // no payload: the keypad cannot take it
        }
        const OutputResult result = Keypad(iface->path).OnOutputReport({report, length});
        keypadViolations_.insert(keypadViolations_.end(), result.violations.begin(),
                                 result.violations.end());
    }
    written = shortWrites_.count(number) != 0 ? length - 1 : length;
    return true;
}

bool FakePlatform::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    const FakeInterface* iface = ByHandle(handle);
    const bool ok = Call(FakeOp::kGetFeature, iface ? iface->path : "", handle);
    if (recording_) {
        calls_.back().bytes.assign(buffer, buffer + length);
        calls_.back().length = length;
    }
    if (!ok || iface == nullptr || !iface->keypad) {
        return false;
    }
    return Keypad(iface->path).AnswerFeature(buffer, length);
}

NotificationHandle FakePlatform::RegisterNotification(void* window, PlatformHandle handle) {
    const FakeInterface* iface = ByHandle(handle);
    const bool ok = Call(FakeOp::kRegisterNotification, iface ? iface->path : "", handle);
    if (recording_) {
        calls_.back().window = window;
    }
    if (!ok || iface == nullptr) {
        return nullptr;
    }
    auto token = reinterpret_cast<NotificationHandle>(nextNotification_++);
    notifications_.insert(token);
    return token;
}

void FakePlatform::UnregisterNotification(NotificationHandle notification) {
    Call(FakeOp::kUnregisterNotification, "");
    if (notifications_.erase(notification) == 0) {
        misuse_.push_back("withdrawal of a notification that is not registered");
    }
}

}  // namespace quillpad
