#include "keypad_io.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "dev.h"
#include "grammar.h"
#include "keypad_refresh.h"
#include "output_format.h"
#include "platforms.h"

namespace quillpad::ctl {
namespace {

// Refresh's steps; a command just sleeps through the keypad's time.
KeypadRefresh Refresh() {
    return KeypadRefresh(
        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
}

}  // namespace

Status NoKeypadStatus(const std::vector<DeviceProblem>& problems) {
    for (const DeviceProblem& problem : problems) {
        if (IsPermissionProblem(problem))
            return Fail(kExitPermission, DescribeProblem(problem));
    }
    if (!problems.empty())
        return Fail(kExitNoKeypad, DescribeProblem(problems.front()));
    return Fail(kExitNoKeypad, "no keypad found; is it plugged in? (quillpadctl list)");
}

bool IsPermissionProblem(const DeviceProblem& problem) {
    return problem.kind == DeviceProblemKind::kPermissionDenied;
}

KeypadList ListKeypads() {
    Refresh().Find(nullptr);
    return {DevOpenSlots(), DevLastProblems()};
}

std::string DescribeProblem(const DeviceProblem& problem) {
    std::string text = problem.reason;
    if (!problem.path.empty() && text.find(problem.path) == std::string::npos)
        text = problem.path + ": " + text;
    return text + " (see quillpadctl " + FindCommand(kAccessHelpCommand)->name + " --help)";
}

KeypadAccess::~KeypadAccess() {
    if (platform_) {
        DevCloseAll();
        DevSetPlatform(nullptr);
    }
}

Status KeypadAccess::Open(const std::optional<std::string>& simulateFile) {
    if (!simulateFile)
        return Ok();  // the library's default: this system's HID access
    std::string error;
    platform_ = MakeSimulatedKeypad(*simulateFile, error);
    if (!platform_)
        return Fail(kExitBadFile, error);
    DevSetPlatform(platform_.get());
    return Ok();
}

Status KeypadAccess::Claim(int device, int waitSeconds) {
    // The keypad gets its time before it is looked for here, not again when it is read.
    if (Status s = Enumerate(device, true); !s.ok())
        return s;
    const std::vector<DevSlotInfo> slots = DevOpenSlots();
    for (const DevSlotInfo& slot : slots) {
        if (slot.index == device)
            lockedPath_ = slot.path;
    }
    std::string reason;
    // A command waits up to --wait seconds for the other program: the user sees why, and can
    // stop it.
    bool told = false;
    bool gaveUp = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    lock_ = DevLockKeypad(device, reason, [device, waitSeconds, deadline, &told, &gaveUp] {
        if (std::chrono::steady_clock::now() >= deadline) {
            gaveUp = true;
            return false;
        }
        if (!told) {
            std::fprintf(stderr,
                         "quillpadctl: waiting up to %d s for another program to finish with "
                         "the keypad in slot %d...\n",
                         waitSeconds, device);
            told = true;
        }
        return true;
    });
    if (!lock_ && gaveUp) {
        return Fail(kExitTransfer, "another program holds the keypad in slot " +
                                       std::to_string(device) + "; gave up after " +
                                       std::to_string(waitSeconds) +
                                       " s (--wait SECONDS waits longer)");
    }
    if (!lock_)
        return Fail(kExitTransfer, reason);
    return Ok();
}

Status KeypadAccess::TransferFailed(const std::string& what) {
    const std::string fileError = DevLastTransferError();
    if (!fileError.empty())
        return Fail(kExitBadFile, fileError);
    return Fail(kExitTransfer, what);
}

Status KeypadAccess::Enumerate(int device, bool settle) {
    const int count = Refresh().Find(nullptr, settle);
    if (DevIsReady(device)) {
        if (lock_) {
            for (const DevSlotInfo& slot : DevOpenSlots()) {
                if (slot.index == device && slot.path != lockedPath_) {
                    return Fail(kExitNoKeypad, "the keypad in slot " + std::to_string(device) +
                                                   " changed while quillpadctl worked; run it "
                                                   "again");
                }
            }
        }
        return Ok();
    }
    if (count <= 0) {
        return NoKeypadStatus(DevLastProblems());
    }
    return Fail(kExitNoKeypad, "no keypad in slot " + std::to_string(device) + "; found " +
                                   std::to_string(count) + " (quillpadctl list)");
}

Status KeypadAccess::Read(int device, ConfigBlock& block) {
    block.fill(0);
    if (Status s = Enumerate(device, !lock_); !s.ok())
        return s;
    if (!Refresh().Read(device, block.data(), static_cast<int>(block.size())))
        return TransferFailed("reading the keypad in slot " + std::to_string(device) + " failed");
    return Ok();
}

Status KeypadAccess::Write(int device, const ConfigBlock& block) {
    if (Status s = Enumerate(device, false); !s.ok())
        return s;
    DevSelect(device);
    if (!DevWriteBlock(block.data(), 0, static_cast<int>(block.size()))) {
        return TransferFailed("writing the keypad in slot " + std::to_string(device) +
                              " failed; it may hold part of the new settings");
    }
    return Ok();
}

Status KeypadAccess::WriteAndVerify(int device, const ConfigBlock& block, bool verify) {
    if (Status s = Write(device, block); !s.ok())
        return s;
    if (!verify)
        return Ok();
    ConfigBlock readBack{};
    if (Status s = Read(device, readBack); !s.ok()) {
        s.message = "verifying: " + s.message;
        return s;
    }
    return CompareReadBack(block, readBack);
}

Status CompareReadBack(const ConfigBlock& written, const ConfigBlock& readBack) {
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (readBack[i] != written[i]) {
            return Fail(kExitVerify, "verify failed: byte " + std::to_string(i) +
                                         " reads back as " + HexByte(readBack[i]) + ", written " +
                                         HexByte(written[i]));
        }
    }
    return Ok();
}

}  // namespace quillpad::ctl
