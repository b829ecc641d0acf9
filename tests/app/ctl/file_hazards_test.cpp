// The files quillpadctl writes, as a hostile or unlucky user meets them: links planted beside
// them, links and hard links to them, write protection, a read-only or full file system, a
// state file of the wrong size, and several programs on one state file at once. Every byte,
// mode and owner in the folder is checked after each run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "run_ctl.h"

namespace quillpad::testing {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
// Everything in a folder: relative name -> kind, mode, owner and content (or link target).
using Files = std::map<std::string, std::string>;

constexpr unsigned kNobody = 65534;

// The keypad's memory with key 1 (stored at offset 45) given the keyboard usage.
std::string KeyOneBlock(std::uint8_t usage) {
    std::string block(256, '\0');
    block[90] = static_cast<char>(0xFC);
    block[45] = 0x01;
    block[48] = static_cast<char>(usage);
    return block;
}
const std::string kBlockA = KeyOneBlock(0x04);  // key 1 = a
const std::string kBlockB = KeyOneBlock(0x05);  // key 1 = b

std::string Describe(unsigned mode, unsigned uid, unsigned gid, const std::string& content) {
    char text[64];
    std::snprintf(text, sizeof text, "file %03o %u:%u ", mode & 07777, uid, gid);
    return text + content;
}

Files Snapshot(const fs::path& dir) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().lexically_relative(dir).string();
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            files[name] = "link " + fs::read_symlink(entry.path()).string();
        } else if (S_ISDIR(st.st_mode)) {
            files[name] = "folder";
        } else {
            files[name] = Describe(st.st_mode, st.st_uid, st.st_gid, ReadFile(entry.path()));
        }
    }
    return files;
}

// A tmpfs mounted for one row, unmounted with the object.
class Mount {
  public:
    Mount(const fs::path& at, const char* options) : at_(at) {
        fs::create_directories(at);
        if (::geteuid() != 0) {
            error_ = "mounting needs root";
        } else if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options) != 0) {
            error_ = std::string("mount failed: ") + std::strerror(errno);
        }
    }
    ~Mount() {
        if (error_.empty())
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    const std::string& error() const { return error_; }
    bool MakeReadOnly() const {
        return ::mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    fs::path at_;
    std::string error_;
};

// Fills the file system holding dir until no byte more fits.
void FillUp(const fs::path& dir) {
    const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string chunk(4096, 'x');
    while (::write(fd, chunk.data(), chunk.size()) > 0) {
    }
    while (::write(fd, chunk.data(), 1) > 0) {
    }
    ::close(fd);
}

struct Hazard {
    const char* name;
    // Prepares the folder; returns why the row cannot run here, or "".
    std::function<std::string(const fs::path& dir, std::unique_ptr<Mount>& mount)> setUp;
    Args args;
    int exitCode;
    std::string message;  // part of the one line on stderr; "" for a silent success
    // Turns the folder as it was before the run into what it must be after it.
    std::function<void(Files& files)> expect;
};

std::string StateFileA(const fs::path& dir) {
    WriteFile(dir / "k.bin", kBlockA);
    ::chmod((dir / "k.bin").c_str(), 0644);
    return "";
}

bool Root() {
    return ::geteuid() == 0;
}

TEST(FileHazards, NothingIsLostClobberedWidenedOrFollowedByAccident) {
    const std::string newB = Describe(0644, ::geteuid(), ::getegid(), kBlockB);
    const std::vector<Hazard> hazards = {
        {"links planted at the temporary names once used",
         [](const fs::path& dir, auto&) {
             WriteFile(dir / "victim.txt", "precious\n");
             fs::create_symlink("victim.txt", dir / "k.bin.tmp");
             fs::create_symlink("victim.txt", dir / "out.bin.partial");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         0,
         "",
         [&](Files& f) { f["k.bin"] = newB; }},
        {"state file that is a link: its target changes, the link stays",
         [](const fs::path& dir, auto&) {
             fs::create_directory(dir / "real");
             WriteFile(dir / "real" / "target.bin", kBlockA);
             ::chmod((dir / "real" / "target.bin").c_str(), 0640);
             fs::create_symlink("real/target.bin", dir / "k.bin");
             return std::string();
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         0,
         "",
         [&](Files& f) {
             f["real/target.bin"] = Describe(0640, ::geteuid(), ::getegid(), kBlockB);
         }},
        {"dump -o onto a link",
         [](const fs::path& dir, auto&) {
             WriteFile(dir / "old.bin", "old");
             fs::create_symlink("old.bin", dir / "out.bin");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "dump", "-o", "out.bin"},
         0,
         "",
         [&](Files& f) { f["old.bin"] = Describe(0644, ::geteuid(), ::getegid(), kBlockA); }},
        {"link loop",
         [](const fs::path& dir, auto&) {
             fs::create_symlink("k.bin", dir / "k.bin");
             return std::string();
         },
         {"--simulate", "k.bin", "show"},
         1,
         "k.bin: Too many levels of symbolic links",
         [](Files&) {}},
        {"hard link: neither name is split off",
         [](const fs::path& dir, auto&) {
             StateFileA(dir);
             fs::create_hard_link(dir / "k.bin", dir / "other-name.bin");
             return std::string();
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         1,
         "cannot save the simulated keypad's memory to k.bin: it has 2 names (hard links)",
         [](Files&) {}},
        {"write-protected state file",
         [](const fs::path& dir, auto&) {
             StateFileA(dir);
             ::chmod((dir / "k.bin").c_str(), 0444);
             return std::string();
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         Root() ? 0 : 1,
         Root() ? "" : "cannot save the simulated keypad's memory to k.bin: Permission denied",
         [](Files& f) {
             // root may write it, as cp would; the mode stays
             if (Root())
                 f["k.bin"] = Describe(0444, 0, 0, kBlockB);
         }},
        {"0600 state file of another user, written by root",
         [](const fs::path& dir, auto&) {
             if (!Root())
                 return std::string("needs root");
             StateFileA(dir);
             ::chmod((dir / "k.bin").c_str(), 0600);
             if (::chown((dir / "k.bin").c_str(), kNobody, kNobody) != 0)
                 return std::string("chown failed");
             return std::string();
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         0,
         "",
         [](Files& f) { f["k.bin"] = Describe(0600, kNobody, kNobody, kBlockB); }},
        {"read-only folder",
         [](const fs::path& dir, std::unique_ptr<Mount>& mount) {
             fs::create_directory(dir / "ro");
             if (Root()) {
                 mount = std::make_unique<Mount>(dir / "ro", "size=64k");
                 if (!mount->error().empty())
                     return mount->error();
             }
             WriteFile(dir / "ro" / "k.bin", kBlockA);
             ::chmod((dir / "ro" / "k.bin").c_str(), 0644);
             if (Root() ? !mount->MakeReadOnly() : ::chmod((dir / "ro").c_str(), 0555) != 0)
                 return std::string("cannot make the folder read-only");
             return std::string();
         },
         {"--simulate", "ro/k.bin", "set", "1", "b"},
         1,
         std::string("cannot save the simulated keypad's memory to ro/k.bin: ") +
             (Root() ? "Read-only file system" : "Permission denied"),
         [](Files&) {}},
        {"full disk, state file",
         [](const fs::path& dir, std::unique_ptr<Mount>& mount) {
             mount = std::make_unique<Mount>(dir / "full", "size=16k");
             if (!mount->error().empty())
                 return mount->error();
             WriteFile(dir / "full" / "k.bin", kBlockA);
             ::chmod((dir / "full" / "k.bin").c_str(), 0644);
             FillUp(dir / "full");
             return std::string();
         },
         {"--simulate", "full/k.bin", "set", "1", "b"},
         1,
         "cannot save the simulated keypad's memory to full/k.bin: No space left on device",
         [](Files&) {}},
        {"full disk, dump -o",
         [](const fs::path& dir, std::unique_ptr<Mount>& mount) {
             mount = std::make_unique<Mount>(dir / "full", "size=16k");
             if (!mount->error().empty())
                 return mount->error();
             FillUp(dir / "full");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "dump", "-o", "full/out.bin"},
         1,
         "full/out.bin: cannot be written: No space left on device",
         [](Files&) {}},
        {"link another user planted in a shared folder such as /tmp",
         [](const fs::path& dir, auto&) {
             if (!Root())
                 return std::string("needs root");
             WriteFile(dir / "secret", "precious\n");
             ::chmod((dir / "secret").c_str(), 0600);
             fs::create_directory(dir / "shared");
             ::chmod((dir / "shared").c_str(), 01777);
             fs::create_symlink("../secret", dir / "shared" / "out.bin");
             if (::lchown((dir / "shared" / "out.bin").c_str(), kNobody, kNobody) != 0)
                 return std::string("lchown failed");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "dump", "-o", "shared/out.bin"},
         1,
         "shared/out.bin: cannot be written: it is a symbolic link another user made in a "
         "shared folder",
         [](Files&) {}},
        {"state file with a name of 250 bytes, the most a temporary name beside it can hold",
         [](const fs::path& dir, auto&) {
             WriteFile(dir / (std::string(246, 'k') + ".bin"), kBlockA);
             ::chmod((dir / (std::string(246, 'k') + ".bin")).c_str(), 0644);
             return std::string();
         },
         {"--simulate", std::string(246, 'k') + ".bin", "set", "1", "b"},
         0,
         "",
         [&](Files& f) { f[std::string(246, 'k') + ".bin"] = newB; }},
        {"state file of 255 bytes",
         [](const fs::path& dir, auto&) {
             WriteFile(dir / "k.bin", std::string(255, 'Z'));
             return std::string();
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         1,
         "cannot read the simulated keypad's memory from k.bin: it holds 255 bytes",
         [](Files&) {}},
    };

    for (const Hazard& hazard : hazards) {
        SCOPED_TRACE(hazard.name);
        TempDir dir;
        std::unique_ptr<Mount> mount;
        const std::string cannot = hazard.setUp(dir.path(), mount);
        if (!cannot.empty()) {
            std::printf("[ SKIPPED  ] row \"%s\": %s\n", hazard.name, cannot.c_str());
            continue;
        }
        Files expected = Snapshot(dir.path());
        hazard.expect(expected);
        const CtlRun run = RunCtl(dir.path(), hazard.args);
        EXPECT_EQ(run.exitCode, hazard.exitCode) << run.err;
        if (hazard.message.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_TRUE(run.err.starts_with("quillpadctl: ")) << run.err;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
            EXPECT_NE(run.err.find(hazard.message), std::string::npos) << run.err;
        }
        EXPECT_EQ(Snapshot(dir.path()), expected);
    }
}

// The memory as a concurrent reader may see it: 256 bytes, the marker, and each key either
// as it was or as one of the writers set it.
bool WholeMemory(const std::string& bytes) {
    if (bytes.size() != 256 || static_cast<std::uint8_t>(bytes[90]) != 0xFC)
        return false;
    for (int entry = 0; entry < 6; ++entry) {
        const std::string e = bytes.substr(entry * 15, 15);
        if (e != std::string(15, '\0') && (e[0] != 0x01 || e[3] == 0))
            return false;
    }
    return true;
}

TEST(FileHazards, SixSetsAtOnceLeaveAllSixKeysAndNeverATornFile) {
    TempDir dir;
    // Keys 1 to 6 get a to f; the state file does not exist yet.
    std::vector<int> pids;
    for (int key = 1; key <= 6; ++key) {
        const std::string letter(1, static_cast<char>('a' + key - 1));
        pids.push_back(StartCtl(dir.path(),
                                {"--simulate", "k.bin", "set", std::to_string(key), letter},
                                "set" + std::to_string(key)));
    }
    // Read the file while they run: it is missing or whole, never empty or torn.
    std::vector<int> exitCodes(pids.size(), -2);  // -2: still running
    int reads = 0;
    for (bool running = true; running;) {
        const fs::path path = dir / "k.bin";
        if (fs::exists(path)) {
            const std::string bytes = ReadFile(path);
            ++reads;
            ASSERT_TRUE(WholeMemory(bytes)) << "read " << reads << ": " << bytes.size() << " bytes";
        }
        running = false;
        for (std::size_t i = 0; i < pids.size(); ++i) {
            int status = 0;
            if (exitCodes[i] == -2 && ::waitpid(pids[i], &status, WNOHANG) == pids[i]) {
                exitCodes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            running = running || exitCodes[i] == -2;
        }
    }
    for (std::size_t i = 0; i < pids.size(); ++i) {
        EXPECT_EQ(exitCodes[i], 0) << ReadFile(dir / ("set" + std::to_string(i + 1) + ".stderr"));
    }
    const CtlRun show = RunCtl(dir.path(), {"--simulate", "k.bin", "show", "--json"});
    ASSERT_EQ(show.exitCode, 0) << show.err;
    for (int key = 1; key <= 6; ++key) {
        EXPECT_NE(show.out.find("\"key\": " + std::to_string(key) +
                                ", \"vk\": " + std::to_string(0x41 + key - 1)),
                  std::string::npos)
            << show.out;
    }
    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace quillpad::testing
