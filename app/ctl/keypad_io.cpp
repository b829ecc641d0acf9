#include "keypad_io.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include "dev.h"
#include "dev_slots.h"
#include "output_format.h"
#include "platforms.h"

namespace quillpad::ctl {
namespace {

void Wait100ms() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

}  // namespace

bool IsPermissionProblem(const DeviceProblem& problem) {
    return problem.error == EACCES || problem.error == EPERM;
}

KeypadList ListKeypads() {
    Wait100ms();
    DevEnumerate(nullptr);
    KeypadList list;
    for (const DevSlotInfo& slot : DevOpenSlots()) {
        list.slots.push_back({slot.index, slot.path, slot.node});
    }
    list.problems = DevLastProblems();
    return list;
}

std::string PermissionFix() {
    return "install the udev rule 70-quillpad.rules (quillpadctl list --help tells how), "
           "then plug the keypad in again";
}

KeypadAccess::~KeypadAccess() {
    if (platform_) {
        DevCloseAll();
        DevSetPlatform(nullptr);
    }
}

Status KeypadAccess::Open(const std::optional<std::string>& simulateFile) {
    if (!simulateFile) return Ok();  // the library's default: this system's HID access
    std::string error;
    platform_ = MakeSimulatedKeypad(*simulateFile, error);
    if (!platform_) return Fail(kExitBadFile, "simulated keypad " + *simulateFile + ": " + error);
    DevSetPlatform(platform_.get());
    return Ok();
}

Status KeypadAccess::Enumerate(int device, bool wait) {
    if (wait) Wait100ms();
    const int count = DevEnumerate(nullptr);
    if (DevIsReady(device)) {
        if (wait) Wait100ms();
        return Ok();
    }
    if (count <= 0) {
        const std::vector<DeviceProblem> problems = DevLastProblems();
        for (const DeviceProblem& problem : problems) {
            if (IsPermissionProblem(problem)) {
                return Fail(kExitPermission, "the keypad at " + problem.path +
                                                 " cannot be opened: " + problem.reason + "; " +
                                                 PermissionFix());
            }
        }
        if (!problems.empty()) {
            return Fail(kExitNoKeypad, "the keypad at " + problems.front().path +
                                           " cannot be used: " + problems.front().reason);
        }
        return Fail(kExitNoKeypad, "no keypad found; is it plugged in? (quillpadctl list)");
    }
    return Fail(kExitNoKeypad, "no keypad in slot " + std::to_string(device) + "; found " +
                                   std::to_string(count) + " (quillpadctl list)");
}

Status KeypadAccess::Read(int device, ConfigBlock& block) {
    block.fill(0);
    if (Status s = Enumerate(device, true); !s.ok()) return s;
    DevSelect(device);
    if (!DevReadBlock(block.data(), 0, static_cast<int>(block.size()))) {
        return Fail(kExitTransfer, "reading the keypad in slot " + std::to_string(device) + " failed");
    }
    return Ok();
}

Status KeypadAccess::Write(int device, const ConfigBlock& block) {
    if (Status s = Enumerate(device, false); !s.ok()) return s;
    DevSelect(device);
    if (!DevWriteBlock(block.data(), 0, static_cast<int>(block.size()))) {
        return Fail(kExitTransfer, "writing the keypad in slot " + std::to_string(device) +
                                       " failed; it may hold part of the new settings");
    }
    return Ok();
}

Status KeypadAccess::WriteAndVerify(int device, const ConfigBlock& block, bool verify) {
    if (Status s = Write(device, block); !s.ok()) return s;
    if (!verify) return Ok();
    ConfigBlock readBack{};
    if (Status s = Read(device, readBack); !s.ok()) {
        s.message = "verifying: " + s.message;
        return s;
    }
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (readBack[i] != block[i]) {
            return Fail(kExitVerify, "verify failed: byte " + std::to_string(i) +
                                         " reads back as " + HexByte(readBack[i]) +
                                         ", written " + HexByte(block[i]));
        }
    }
    return Ok();
}

}  // namespace quillpad::ctl
