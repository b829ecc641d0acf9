#include "report_descriptor.h"

#include <algorithm>
#include <array>

namespace quillpad {

namespace {

constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::size_t kMaxGlobalStack = 16;
// Report lengths are 16-bit counts of bytes, the report ID byte included.
constexpr std::uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

enum ItemType { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };
enum MainTag { kInput = 0x8, kOutput = 0x9, kCollection = 0xA, kFeature = 0xB, kEnd = 0xC };
enum GlobalTag {
    kUsagePage = 0x0,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB
};
enum LocalTag { kUsage = 0x0, kUsageMinimum = 0x1 };
constexpr std::uint32_t kApplication = 0x01;

struct Globals {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

// Bits per report kind of one report ID within one collection.
struct ReportBits {
    std::uint32_t reportId;
    std::array<std::uint64_t, 3> bits;
};

struct Collection {
    TopLevelCollection result;
    std::vector<ReportBits> reports;
};

class Parser {
  public:
    Parser(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Run(std::vector<TopLevelCollection>& out, std::string& error);

  private:
    bool Fail(const std::string& what) {
        error_ = what + " at byte " + std::to_string(position_);
        return false;
    }
    bool Main(std::uint8_t tag, std::uint32_t value);
    bool Global(std::uint8_t tag, std::uint32_t value);
    void Local(std::uint8_t tag, std::uint32_t value, std::size_t bytes);
    bool AddBits(int kind);

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::string error_;

    Globals globals_;
    std::vector<Globals> stack_;
    // The local usage that names the next collection: the first Usage, else Usage Minimum.
    bool haveUsage_ = false;
    std::uint32_t usage_ = 0;
    bool usageHasPage_ = false;
    bool haveMinimum_ = false;
    std::uint32_t minimum_ = 0;
    bool minimumHasPage_ = false;

    std::size_t depth_ = 0;
    bool inApplication_ = false;  // inside a top-level application collection
    std::vector<Collection> collections_;
};

bool Parser::AddBits(int kind) {
    if (!inApplication_ || depth_ == 0) {
        return true;  // items outside a top-level application collection belong to none
    }
    const std::uint64_t size = globals_.reportSize;
    const std::uint64_t count = globals_.reportCount;
    if (size != 0 && count > kMaxReportBits / size) {
        return Fail("report too long");
    }
    const std::uint64_t bits = size * count;
    if (bits == 0) {
        return true;
    }
    std::vector<ReportBits>& reports = collections_.back().reports;
    ReportBits* entry = nullptr;
    for (ReportBits& report : reports) {
        if (report.reportId == globals_.reportId) {
            entry = &report;
        }
    }
    if (entry == nullptr) {
        reports.push_back(ReportBits{globals_.reportId, {0, 0, 0}});
        entry = &reports.back();
    }
    entry->bits[kind] += bits;
    if (entry->bits[kind] > kMaxReportBits) {
        return Fail("report too long");
    }
    return true;
}

bool Parser::Main(std::uint8_t tag, std::uint32_t value) {
    switch (tag) {
        case kInput:
            return AddBits(0);
        case kOutput:
            return AddBits(1);
        case kFeature:
            return AddBits(2);
        case kCollection: {
            if (depth_ == kMaxCollectionDepth) {
                return Fail("collections nested too deeply");
            }
            if (depth_ == 0 && (value & 0xFF) == kApplication) {
                Collection collection;
                std::uint32_t usage = haveUsage_ ? usage_ : (haveMinimum_ ? minimum_ : 0);
                const bool hasPage = haveUsage_ ? usageHasPage_ : minimumHasPage_;
                collection.result.usagePage =
                    static_cast<std::uint16_t>(hasPage ? usage >> 16 : globals_.usagePage);
                collection.result.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                collections_.push_back(collection);
                inApplication_ = true;
            }
            ++depth_;
            return true;
        }
        case kEnd:
            if (depth_ == 0) {
                return Fail("End Collection without a collection");
            }
            if (--depth_ == 0) {
                inApplication_ = false;
            }
            return true;
        default:
            return true;  // reserved main items carry nothing this parser needs
    }
}

bool Parser::Global(std::uint8_t tag, std::uint32_t value) {
    switch (tag) {
        case kUsagePage:
            globals_.usagePage = value & 0xFFFF;
            return true;
        case kReportSize:
            globals_.reportSize = value;
            return true;
        case kReportCount:
            globals_.reportCount = value;
            return true;
        case kReportId:
            if (value == 0 || value > 0xFF) {
                return Fail("invalid report ID " + std::to_string(value));
            }
            globals_.reportId = value;
            return true;
        case kPush:
            if (stack_.size() == kMaxGlobalStack) {
                return Fail("Push nested too deeply");
            }
            stack_.push_back(globals_);
            return true;
        case kPop:
            if (stack_.empty()) {
                return Fail("Pop without Push");
            }
            globals_ = stack_.back();
            stack_.pop_back();
            return true;
        default:
            return true;
    }
}

void Parser::Local(std::uint8_t tag, std::uint32_t value, std::size_t bytes) {
    if (tag == kUsage && !haveUsage_) {
        haveUsage_ = true;
        usage_ = value;
        usageHasPage_ = bytes == 4;
    } else if (tag == kUsageMinimum && !haveMinimum_) {
        haveMinimum_ = true;
        minimum_ = value;
        minimumHasPage_ = bytes == 4;
    }
}

bool Parser::Run(std::vector<TopLevelCollection>& out, std::string& error) {
    out.clear();
    if (size_ > kMaxReportDescriptorSize) {
        error =
            "report descriptor larger than " + std::to_string(kMaxReportDescriptorSize) + " bytes";
        return false;
    }
    if (data_ == nullptr && size_ != 0) {
        error = "no report descriptor";
        return false;
    }
    while (position_ < size_) {
        const std::uint8_t prefix = data_[position_];
        if (prefix == 0xFE) {  // long item: size byte, tag byte, data
            if (size_ - position_ < 3 || size_ - position_ - 3 < data_[position_ + 1]) {
                Fail("truncated long item");
                error = error_;
                return false;
            }
            position_ += 3u + data_[position_ + 1];
            continue;
        }
        static constexpr std::size_t kSizes[4] = {0, 1, 2, 4};
        const std::size_t bytes = kSizes[prefix & 0x3];
        if (size_ - position_ - 1 < bytes) {
            Fail("truncated item");
            error = error_;
            return false;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint32_t>(data_[position_ + 1 + i]) << (8 * i);
        }
        const auto type = static_cast<ItemType>((prefix >> 2) & 0x3);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        bool ok = true;
        if (type == kMain) {
            ok = Main(tag, value);
            haveUsage_ = haveMinimum_ = false;  // local items end with every main item
        } else if (type == kGlobal) {
            ok = Global(tag, value);
        } else if (type == kLocal) {
            Local(tag, value, bytes);
        }
        if (!ok) {
            error = error_;
            return false;
        }
        position_ += 1 + bytes;
    }
    if (depth_ != 0) {
        error = "report descriptor ends inside a collection";
        return false;
    }
    if (collections_.empty()) {
        error = "report descriptor has no top-level application collection";
        return false;
    }
    for (const Collection& collection : collections_) {
        TopLevelCollection result = collection.result;
        std::uint64_t longest[3] = {0, 0, 0};
        for (const ReportBits& report : collection.reports) {
            for (int kind = 0; kind < 3; ++kind) {
                longest[kind] = std::max(longest[kind], report.bits[kind]);
            }
        }
        auto bytes = [](std::uint64_t bits) {
            return static_cast<std::uint16_t>(bits == 0 ? 0 : (bits + 7) / 8 + 1);
        };
        result.inputReportByteLength = bytes(longest[0]);
        result.outputReportByteLength = bytes(longest[1]);
        result.featureReportByteLength = bytes(longest[2]);
        out.push_back(result);
    }
    return true;
}

}  // namespace

bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size,
                           std::vector<TopLevelCollection>& collections, std::string& error) {
    Parser parser(data, size);
    return parser.Run(collections, error);
}

}  // namespace quillpad
