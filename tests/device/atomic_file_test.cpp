// The steps of replacing a file that the file's content alone does not show were taken: the
// temporary is created exclusively, synced before the rename, the folder synced after it,
// leftovers of killed runs are cleared, and a lock obtained after waiting is on the file that
// has the name by then. The calls are watched through the file code's seam (file_calls.h).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "file_lock.h"
#include "platform/posix/file_calls.h"
#include "temp_files.h"

namespace quillpad {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::vector<std::string> steps;           // what the watched calls did, in order
std::vector<std::string> temporaryNames;  // the random parts handed out, in order
std::size_t nextName = 0;

int WatchedFsync(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    steps.push_back(S_ISDIR(st.st_mode) ? "sync folder" : "sync file");
    return posix::DefaultCalls().fsync(fd);
}

int WatchedRenameat(int fromFolder, const char* from, int toFolder, const char* to) {
    steps.push_back("rename");
    return posix::DefaultCalls().renameat(fromFolder, from, toFolder, to);
}

void ScriptedLetters(char* letters) {
    const std::string& name = temporaryNames.at(std::min(nextName++, temporaryNames.size() - 1));
    std::memcpy(letters, name.data(), 8);
}

class AtomicFileSteps : public ::testing::Test {
  protected:
    AtomicFileSteps() {
        steps.clear();
        temporaryNames.clear();
        nextName = 0;
    }
    ~AtomicFileSteps() override { posix::Calls() = posix::DefaultCalls(); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    TempDir dir_;
};

TEST_F(AtomicFileSteps, TheNewFileIsSyncedBeforeTheRenameAndTheFolderAfterIt) {
    posix::Calls().fsync = WatchedFsync;
    posix::Calls().renameat = WatchedRenameat;
    WriteFile(dir_ / "old.txt", "old");
    for (const char* name : {"old.txt", "new.txt"}) {
        SCOPED_TRACE(name);
        steps.clear();
        std::string reason;
        ASSERT_TRUE(ReplaceFileAtomically(Path(name), "content", reason)) << reason;
        EXPECT_EQ(steps, (std::vector<std::string>{"sync file", "rename", "sync folder"}));
        EXPECT_EQ(ReadFile(dir_ / name), "content");
    }
}

TEST_F(AtomicFileSteps, ANameTakenAtTheTemporarysPlaceIsNeverUsed) {
    posix::Calls().temporaryLetters = ScriptedLetters;
    temporaryNames = {"Taken001", "Linked01", "Free0001"};
    WriteFile(dir_ / "f.txt", "old");
    WriteFile(dir_ / "f.txt.tmp-Taken001", "another program's");
    WriteFile(dir_ / "victim", "precious");
    ::symlink("victim", (dir_ / "f.txt.tmp-Linked01").c_str());
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(Path("f.txt"), "new", reason)) << reason;
    EXPECT_EQ(ReadFile(dir_ / "f.txt"), "new");
    EXPECT_EQ(ReadFile(dir_ / "f.txt.tmp-Taken001"), "another program's");
    EXPECT_EQ(ReadFile(dir_ / "victim"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "f.txt.tmp-Linked01"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "f.txt.tmp-Free0001"));
    EXPECT_EQ(nextName, 3u);
}

TEST_F(AtomicFileSteps, OnlyOurOwnTemporariesOfTheFileOlderThanAMinuteAreCleared) {
    const struct {
        const char* name;
        int ageSeconds;
        bool kept;
    } rows[] = {
        {"f.txt.tmp-Killed00", 120, false},  // a run killed two minutes ago
        {"f.txt.tmp-Running0", 5, true},     // a run at work now
        {"g.txt.tmp-Killed00", 120, true},   // another file's
        {"f.txt.tmp-Short00", 120, true},    // not a name we give
        {"f.txt.tmp-Killed0-", 120, true},
    };
    WriteFile(dir_ / "f.txt", "old");
    for (const auto& row : rows) {
        WriteFile(dir_ / row.name, "left");
        const timeval then[2] = {{std::time(nullptr) - row.ageSeconds, 0},
                                 {std::time(nullptr) - row.ageSeconds, 0}};
        ::utimes(Path(row.name).c_str(), then);
    }
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(Path("f.txt"), "new", reason)) << reason;
    for (const auto& row : rows)
        EXPECT_EQ(std::filesystem::exists(dir_ / row.name), row.kept) << row.name;
}

TEST_F(AtomicFileSteps, ALockObtainedAfterWaitingIsOnTheFileThatNowHasTheName) {
    const std::string path = Path("k.bin");
    WriteFile(dir_ / "k.bin", "old");
    std::string reason;
    FileLock writer;
    ASSERT_TRUE(writer.Lock(path, FileLock::Mode::kExclusive, reason)) << reason;
    // While the waiter waits, the writer replaces the file, keeping its lock on the new one,
    // and lets go only at the second wait.
    int waits = 0;
    FileLock waiter;
    const bool locked = waiter.Lock(path, FileLock::Mode::kExclusive, reason, [&] {
        ++waits;
        std::string why;
        if (waits == 1) {
            EXPECT_TRUE(ReplaceFileAtomically(path, "new", why, &writer)) << why;
        } else if (waits == 2) {
            writer.Unlock();
        }
        return waits < 20;
    });
    ASSERT_TRUE(locked) << reason;
    EXPECT_EQ(waits, 2);  // the old file, free after the rename, was not taken
    // Another program locking the file at the name finds it held.
    const int probe = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(probe, 0);
    EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0);
    ::close(probe);
    EXPECT_EQ(ReadFile(dir_ / "k.bin"), "new");
}

}  // namespace
}  // namespace quillpad
