// The claims of the Windows build: a keypad claimed by its interface path and a file locked by
// its full path take turns between holders (here two holders in one process, which a named
// mutex alone would let through), and a locked file can still be replaced.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "atomic_file.h"
#include "file_lock.h"
#include "win32_hid_platform.h"

namespace quillpad {
namespace {

// A waiting function that lets the wait go on twice, then gives up.
struct GiveUp {
    int calls = 0;
    std::function<bool()> Fn() {
        return [this] { return ++calls < 3; };
    }
};

TEST(WindowsClaims, KeypadClaimsTakeTurnsByInterfacePath) {
    Win32HidPlatform platform;
    const std::string path = "\\\\?\\hid#vid_1130&pid_660c#7&1d2f&0&0000#{4d1e55b2}";
    std::string reason;
    auto held = platform.LockKeypad(path, reason, {});
    ASSERT_NE(held, nullptr) << reason;

    // Windows paths ignore case: the same interface written otherwise is the same keypad.
    std::string upper = path;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string& same : {path, upper}) {
        GiveUp wait;
        EXPECT_EQ(platform.LockKeypad(same, reason, wait.Fn()), nullptr) << same;
        EXPECT_EQ(wait.calls, 3);
        EXPECT_NE(reason.find("another program holds it"), std::string::npos) << reason;
    }
    GiveUp other;
    EXPECT_NE(platform.LockKeypad(path + "x", reason, other.Fn()), nullptr) << reason;

    held.reset();
    EXPECT_NE(platform.LockKeypad(path, reason, GiveUp().Fn()), nullptr) << reason;
}

TEST(WindowsClaims, FileLockTakesTurnsAndLetsTheFileBeReplaced) {
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof folder, folder), 0u);
    const std::string path = std::string(folder) + "quillpad-claim-test.bin";
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(path, "before", reason)) << reason;

    FileLock first;
    ASSERT_TRUE(first.Lock(path, FileLock::Mode::kExclusive, reason)) << reason;
    // Nothing is held on the file itself: the writer under the lock can replace it.
    EXPECT_TRUE(ReplaceFileAtomically(path, "after", reason, &first)) << reason;
    EXPECT_TRUE(first.held());

    // The lock stays with the name after the replace, and a shared lock waits for it too.
    for (FileLock::Mode mode : {FileLock::Mode::kExclusive, FileLock::Mode::kShared}) {
        FileLock second;
        GiveUp wait;
        EXPECT_FALSE(second.Lock(path, mode, reason, wait.Fn()));
        EXPECT_EQ(wait.calls, 3);
        EXPECT_EQ(reason, "another program holds it");
        EXPECT_FALSE(second.held());
    }
    first.Unlock();
    FileLock third;
    EXPECT_TRUE(third.Lock(path, FileLock::Mode::kShared, reason, GiveUp().Fn())) << reason;
    third.Unlock();

    FileLock missing;
    EXPECT_FALSE(missing.Lock(path + ".missing", FileLock::Mode::kShared, reason));
    EXPECT_EQ(reason, "No such file or directory");
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace quillpad
