// quillpadctl's commands in this process, against a simulated keypad behind a platform that
// misbehaves on purpose: faults the simulated keypad itself never shows.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "dev.h"
#include "keypad_io.h"
#include "platforms.h"
#include "run_ctl.h"

namespace quillpad::ctl {
namespace {

// Passes every call to a simulated keypad, except where a test changes it.
class FaultyPlatform : public HidPlatform {
  public:
    explicit FaultyPlatform(const std::string& stateFile) {
        std::string error;
        inner_ = MakeSimulatedKeypad(stateFile, error);
        if (!inner_)
            throw std::runtime_error(error);
    }

    bool hideKeypad = false;         // the interface list is empty...
    bool permissionProblem = false;  // ...and a keypad is reported that may not be opened
    bool failReads = false;
    bool failWrites = false;
    int flipReadByte = -1;  // this byte of every block read comes back changed

    InterfaceList OpenInterfaceList() override { return inner_->OpenInterfaceList(); }
    bool InterfaceExists(InterfaceList list, int index) override {
        return !hideKeypad && inner_->InterfaceExists(list, index);
    }
    bool GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                            DevNode& node) override {
        return inner_->GetInterfaceDetail(list, index, path, node);
    }
    void CloseInterfaceList(InterfaceList list) override { inner_->CloseInterfaceList(list); }
    DevNode GetParent(DevNode node) override { return inner_->GetParent(node); }
    PlatformHandle Open(const std::string& path, bool read, bool write, bool overlapped,
                        bool exclusive) override {
        return inner_->Open(path, read, write, overlapped, exclusive);
    }
    void Close(PlatformHandle handle) override { inner_->Close(handle); }
    bool GetAttributes(PlatformHandle handle, HidAttributes& attributes) override {
        return inner_->GetAttributes(handle, attributes);
    }
    bool GetPreparsedData(PlatformHandle handle, PreparsedData& data) override {
        return inner_->GetPreparsedData(handle, data);
    }
    void FreePreparsedData(PreparsedData data) override { inner_->FreePreparsedData(data); }
    bool GetCaps(PreparsedData data, HidCaps& caps) override { return inner_->GetCaps(data, caps); }
    void GetButtonCaps(ReportKind kind, PreparsedData data,
                       std::vector<HidButtonCaps>& caps) override {
        inner_->GetButtonCaps(kind, data, caps);
    }
    void GetValueCaps(ReportKind kind, PreparsedData data,
                      std::vector<HidValueCaps>& caps) override {
        inner_->GetValueCaps(kind, data, caps);
    }
    std::uint32_t MaxUsageListLength(ReportKind kind, std::uint16_t usagePage,
                                     PreparsedData data) override {
        return inner_->MaxUsageListLength(kind, usagePage, data);
    }
    bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                     std::size_t& written) override {
        if (failWrites)
            return false;
        return inner_->WriteReport(handle, report, length, written);
    }
    bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) override {
        if (failReads || !inner_->GetFeature(handle, buffer, length))
            return false;
        // The data follow the report ID byte.
        if (flipReadByte >= 0 && static_cast<std::size_t>(flipReadByte) + 1 < length) {
            buffer[flipReadByte + 1] ^= 0xFF;
        }
        return true;
    }
    NotificationHandle RegisterNotification(void* window, PlatformHandle handle) override {
        return inner_->RegisterNotification(window, handle);
    }
    void UnregisterNotification(NotificationHandle notification) override {
        inner_->UnregisterNotification(notification);
    }
    std::vector<DeviceProblem> LastProblems() const override {
        if (!permissionProblem)
            return {};
        // Worded as the Linux backend words it, with the remedy.
        return {{DeviceProblemKind::kPermissionDenied, "/dev/hidraw7",
                 "permission denied; install the udev rule 70-quillpad.rules and plug the keypad "
                 "in again",
                 EACCES}};
    }

  private:
    std::unique_ptr<HidPlatform> inner_;
};

class CtlCommand : public ::testing::Test {
  protected:
    CtlCommand() : platform_((dir_ / "k.bin").string()) { DevSetPlatform(&platform_); }
    ~CtlCommand() override { DevSetPlatform(nullptr); }

    // Runs a command line (without --simulate: the faulty platform is installed).
    Status Run(const std::vector<std::string>& args, std::string& out) {
        CommandLine commandLine;
        Status status = ParseCommandLine(args, commandLine);
        if (status.ok())
            status = RunCommand(commandLine, out);
        return status;
    }

    testing::TempDir dir_;
    FaultyPlatform platform_;
};

TEST_F(CtlCommand, VerifyReportsAByteThatReadsBackOtherwise) {
    platform_.flipReadByte = 200;
    std::string out;
    const Status status = Run({"set", "1", "a", "--verify"}, out);
    EXPECT_EQ(status.code, kExitVerify);
    EXPECT_EQ(status.message, "verify failed: byte 200 reads back as 0xFF, written 0x00");
    // Without --verify the same write succeeds.
    EXPECT_TRUE(Run({"set", "1", "a"}, out).ok());
}

// The comparison --verify makes: a block that differs at any one position, in any bit, fails
// and names that byte; the same block passes.
TEST(CompareReadBack, EveryByteOfTheBlockIsCompared) {
    ConfigBlock written{};
    for (std::size_t i = 0; i < written.size(); ++i)
        written[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(CompareReadBack(written, written).ok());
    for (std::size_t i = 0; i < written.size(); ++i) {
        for (const std::uint8_t flip : {0x01, 0x80}) {
            ConfigBlock readBack = written;
            readBack[i] ^= flip;
            const Status status = CompareReadBack(written, readBack);
            EXPECT_EQ(status.code, kExitVerify) << i;
            EXPECT_NE(status.message.find("byte " + std::to_string(i) + " reads back as "),
                      std::string::npos)
                << status.message;
        }
    }
}

TEST_F(CtlCommand, TransferFailuresHaveTheirOwnStatus) {
    std::string out;
    platform_.failReads = true;
    Status status = Run({"show"}, out);
    EXPECT_EQ(status.code, kExitTransfer);
    EXPECT_EQ(status.message, "reading the keypad in slot 0 failed");
    EXPECT_EQ(out, "");

    // restore writes without reading first.
    testing::WriteFile(dir_ / "block.bin", std::string(256, '\0'));
    platform_.failReads = false;
    platform_.failWrites = true;
    status = Run({"restore", (dir_ / "block.bin").string()}, out);
    EXPECT_EQ(status.code, kExitTransfer);
    EXPECT_NE(status.message.find("writing the keypad in slot 0 failed"), std::string::npos);
}

TEST_F(CtlCommand, AKeypadThatMayNotBeOpenedNamesTheFix) {
    platform_.hideKeypad = true;
    platform_.permissionProblem = true;
    std::string out;
    Status status = Run({"show"}, out);
    EXPECT_EQ(status.code, kExitPermission);
    EXPECT_NE(status.message.find("/dev/hidraw7: permission denied; install the udev rule"),
              std::string::npos);
    EXPECT_NE(status.message.find("udev rule"), std::string::npos);

    status = Run({"list"}, out);
    EXPECT_EQ(status.code, kExitPermission);

    platform_.permissionProblem = false;
    status = Run({"show"}, out);
    EXPECT_EQ(status.code, kExitNoKeypad);
    EXPECT_EQ(status.message, "no keypad found; is it plugged in? (quillpadctl list)");
}

}  // namespace
}  // namespace quillpad::ctl
