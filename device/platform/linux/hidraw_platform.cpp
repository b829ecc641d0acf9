#include "hidraw_platform.h"

#include <cerrno>
#include <cstring>

#include "dev.h"
#include "file_lock.h"
#include "platforms.h"

namespace quillpad {

namespace {

class NodeLock : public KeypadLock {
  public:
    FileLock lock;
};

}  // namespace

std::unique_ptr<KeypadLock> HidrawPlatform::LockKeypad(const std::string& path, std::string& reason,
                                                       const std::function<bool()>& waiting) {
    auto claim = std::make_unique<NodeLock>();
    if (!claim->lock.Lock(path, FileLock::Mode::kExclusive, reason, waiting)) {
        reason = "cannot lock " + path + ": " + reason;
        return nullptr;
    }
    return claim;
}

HidrawPlatform::HidrawPlatform(std::unique_ptr<HidrawSystem> system) : system_(std::move(system)) {}

HidrawPlatform::~HidrawPlatform() {
    for (auto* list : lists_) {
        delete list;
    }
    for (auto* data : preparsed_) {
        delete data;
    }
    for (const auto& handle : open_) {
        system_->Close(static_cast<int>(handle.first));
    }
}

DevNode HidrawPlatform::Intern(const std::string& key) {
    auto it = ids_.find(key);
    if (it != ids_.end()) {
        return it->second;
    }
    const auto id = static_cast<DevNode>(ids_.size() + 1);
    ids_.emplace(key, id);
    return id;
}

void HidrawPlatform::Report(DeviceProblemKind kind, const std::string& path,
                            const std::string& reason, int error) {
    problems_.push_back(DeviceProblem{kind, path, reason, error});
}

InterfaceList HidrawPlatform::OpenInterfaceList() {
    problems_.clear();
    known_.clear();
    std::vector<HidrawNode> nodes;
    std::string error;
    if (!system_->Scan(nodes, error)) {
        Report(DeviceProblemKind::kCannotList, "", error, 0);
        return nullptr;
    }
    auto* list = new std::vector<Listed>;
    for (HidrawNode& node : nodes) {
        // Identity from sysfs: other HID devices are never listed, so never opened.
        if (node.vendorId != kKeypadVendorId || node.productId != kKeypadProductId) {
            continue;
        }
        Listed listed;
        listed.id = Intern("hidraw " + node.syspath);
        const DevNode hid = Intern("hid " + node.hidSyspath);
        parents_[listed.id] = hid;
        parents_[hid] = Intern("device " + node.groupSyspath);
        known_[node.devnode] = node;
        listed.node = std::move(node);
        list->push_back(std::move(listed));
    }
    lists_.insert(list);
    return list;
}

bool HidrawPlatform::InterfaceExists(InterfaceList list, int index) {
    auto* listed = static_cast<std::vector<Listed>*>(list);
    return lists_.count(listed) != 0 && index >= 0 &&
           static_cast<std::size_t>(index) < listed->size();
}

bool HidrawPlatform::GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                                        DevNode& node) {
    if (!InterfaceExists(list, index)) {
        return false;
    }
    const Listed& listed = (*static_cast<std::vector<Listed>*>(list))[index];
    path = listed.node.devnode;
    node = listed.id;
    return true;
}

void HidrawPlatform::CloseInterfaceList(InterfaceList list) {
    auto* listed = static_cast<std::vector<Listed>*>(list);
    if (lists_.erase(listed) != 0) {
        delete listed;
    }
}

DevNode HidrawPlatform::GetParent(DevNode node) {
    auto it = parents_.find(node);
    return it == parents_.end() ? kNoDevNode : it->second;
}

PlatformHandle HidrawPlatform::Open(const std::string& path, bool, bool, bool, bool) {
    // hidraw transfers are always synchronous and the node is always opened for read and
    // write; sharing is the kernel's (several openers may hold a hidraw node).
    auto it = known_.find(path);
    if (it == known_.end()) {
        return kInvalidHandle;  // only listed keypads are opened
    }
    const int fd = system_->Open(path);
    if (fd < 0) {
        const int error = -fd;
        if (error == EACCES || error == EPERM) {
            Report(DeviceProblemKind::kPermissionDenied, path,
                   "permission denied: this user may not open " + path +
                       "; install the udev rule 70-quillpad.rules and plug the keypad in again",
                   error);
        } else {
            Report(DeviceProblemKind::kCannotOpen, path,
                   "cannot open " + path + ": " + std::strerror(error), error);
        }
        return kInvalidHandle;
    }
    open_[fd] = it->second;
    return fd;
}

void HidrawPlatform::Close(PlatformHandle handle) {
    if (open_.erase(handle) != 0) {
        system_->Close(static_cast<int>(handle));
    }
}

const HidrawNode* HidrawPlatform::ByHandle(PlatformHandle handle) const {
    auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &it->second;
}

bool HidrawPlatform::GetAttributes(PlatformHandle handle, HidAttributes& attributes) {
    const HidrawNode* node = ByHandle(handle);
    if (node == nullptr) {
        return false;
    }
    attributes.vendorId = node->vendorId;
    attributes.productId = node->productId;
    attributes.versionNumber = 0;
    return true;
}

bool HidrawPlatform::GetPreparsedData(PlatformHandle handle, PreparsedData& data) {
    const HidrawNode* node = ByHandle(handle);
    if (node == nullptr) {
        return false;
    }
    std::vector<std::uint8_t> descriptor;
    std::string error;
    auto parsed = std::make_unique<Preparsed>();
    if (!system_->ReadDescriptor(node->hidSyspath, descriptor, error) ||
        !ParseReportDescriptor(descriptor.data(), descriptor.size(), parsed->collections, error)) {
        Report(DeviceProblemKind::kUnusableDescriptor, node->devnode,
               "unusable report descriptor: " + error, 0);
        return false;
    }
    data = parsed.get();
    preparsed_.insert(parsed.release());
    return true;
}

void HidrawPlatform::FreePreparsedData(PreparsedData data) {
    auto* parsed = static_cast<Preparsed*>(data);
    if (preparsed_.erase(parsed) != 0) {
        delete parsed;
    }
}

bool HidrawPlatform::GetCaps(PreparsedData data, HidCaps& caps) {
    auto* parsed = static_cast<Preparsed*>(data);
    if (preparsed_.count(parsed) == 0 || parsed->collections.empty()) {
        return false;
    }
    const TopLevelCollection& first = parsed->collections.front();
    caps = HidCaps{};
    caps.usagePage = first.usagePage;
    caps.usage = first.usage;
    caps.reportByteLength[KindIndex(ReportKind::kInput)] = first.inputReportByteLength;
    caps.reportByteLength[KindIndex(ReportKind::kOutput)] = first.outputReportByteLength;
    caps.reportByteLength[KindIndex(ReportKind::kFeature)] = first.featureReportByteLength;
    caps.linkCollectionNodeCount = 1;
    return true;
}

// The descriptor parser reports no per-usage capabilities; nothing reads them.
bool HidrawPlatform::WriteReport(PlatformHandle handle, const std::uint8_t* report,
                                 std::size_t length, std::size_t& written) {
    written = 0;
    if (ByHandle(handle) == nullptr) {
        return false;
    }
    const long done = system_->Write(static_cast<int>(handle), report, length);
    if (done < 0) {
        return false;
    }
    written = static_cast<std::size_t>(done);
    return true;
}

bool HidrawPlatform::GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) {
    if (ByHandle(handle) == nullptr || buffer == nullptr || length == 0) {
        return false;
    }
    // The answer counts the report number byte, which must come back as 0.
    const long done = system_->GetFeature(static_cast<int>(handle), buffer, length);
    return done == static_cast<long>(length) && buffer[0] == 0x00;
}

std::unique_ptr<HidPlatform> MakeDefaultPlatform() {
    return std::make_unique<HidrawPlatform>(MakeUdevHidrawSystem());
}

}  // namespace quillpad
