// Block transfers: the command header, the framing of a run of bytes into output reports, and
// reads and writes of the keypad's memory.
#include <cstring>

#include "dev_allocator.h"
#include "dev_internal.h"

namespace quillpad {

namespace {

// The open configuration interface of a ready slot, or nullptr.
InterfaceHandle* ReadyInterface(int index) {
    if (DevIsReady(index) == 0) {
        return nullptr;
    }
    return &GetDeviceTable().slots[index].iface;
}

// An output report needs a report ID byte and room for at least one byte of payload.
bool CanCarryPayload(const InterfaceHandle& iface) {
    const ReportKindData& out = iface.Kind(ReportKind::kOutput);
    const std::size_t length = iface.caps.OutputReportByteLength();
    return length >= 2 && out.reportBuffer && out.reportBufferLength >= length;
}

}  // namespace

CommandHeader MakeCommandHeader(int address, int length, std::uint8_t operation) {
    CommandHeader header;
    header.bytes = {kCommandMagic[0],
                    kCommandMagic[1],
                    kCommandMagic[2],
                    kCommandMagic[3],
                    static_cast<std::uint8_t>(address & 0xFF),
                    static_cast<std::uint8_t>(length & 0xFF),
                    operation,
                    0x00};
    return header;
}

int DevWriteReports(InterfaceHandle& iface, const std::uint8_t* bytes, int length) {
    if (!CanCarryPayload(iface) || length < 0) {
        return 0;
    }
    if (length == 0) {
        return 1;
    }
    if (bytes == nullptr) {
        return 0;
    }
    HidPlatform& platform = DevGetPlatform();
    const std::size_t reportLength = iface.caps.OutputReportByteLength();
    const std::size_t payload = reportLength - 1;
    std::uint8_t* report = iface.Kind(ReportKind::kOutput).reportBuffer.get();
    const auto total = static_cast<std::size_t>(length);
    std::size_t position = 0;
    while (position < total) {
        const std::size_t take = total - position < payload ? total - position : payload;
        report[0] = 0x00;  // report ID
        std::memcpy(report + 1, bytes + position, take);
        std::memset(report + 1 + take, 0, payload - take);
        position += take;
        std::size_t written = 0;
        if (!platform.WriteReport(iface.fileHandle, report, reportLength, written) ||
            written != reportLength) {
            return 0;
        }
    }
    return 1;
}

int DevReadBlockAt(int index, std::uint8_t* buffer, int address, int length) {
    InterfaceHandle* iface = ReadyInterface(index);
    if (iface == nullptr || length < 0 || (length > 0 && buffer == nullptr) ||
        !CanCarryPayload(*iface)) {
        return 0;
    }
    const CommandHeader header = MakeCommandHeader(address, length, kOpRead);
    const std::size_t featureLength = static_cast<std::size_t>(length) + 1;
    std::unique_ptr<std::uint8_t[]> feature = DevGetAllocator().Bytes(featureLength);
    if (!feature) {
        return 0;
    }
    if (DevWriteReports(*iface, header.bytes.data(), static_cast<int>(header.bytes.size())) == 0) {
        return 0;
    }
    if (!DevGetPlatform().GetFeature(iface->fileHandle, feature.get(), featureLength)) {
        return 0;
    }
    if (length > 0) {
        std::memcpy(buffer, feature.get() + 1, static_cast<std::size_t>(length));
    }
    return 1;
}

int DevWriteBlockAt(int index, const std::uint8_t* buffer, int address, int length) {
    InterfaceHandle* iface = ReadyInterface(index);
    if (iface == nullptr || length < 0 || (length > 0 && buffer == nullptr) ||
        !CanCarryPayload(*iface)) {
        return 0;
    }
    const CommandHeader header = MakeCommandHeader(address, length, kOpWrite);
    if (DevWriteReports(*iface, header.bytes.data(), static_cast<int>(header.bytes.size())) == 0) {
        return 0;
    }
    return DevWriteReports(*iface, buffer, length);
}

int DevReadBlock(std::uint8_t* buffer, int address, int length) {
    const int index = GetDeviceTable().currentIndex;
    return index == -1 ? 0 : DevReadBlockAt(index, buffer, address, length);
}

int DevWriteBlock(const std::uint8_t* buffer, int address, int length) {
    const int index = GetDeviceTable().currentIndex;
    return index == -1 ? 0 : DevWriteBlockAt(index, buffer, address, length);
}

}  // namespace quillpad
