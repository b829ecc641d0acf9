// The files quillpadctl and quillpad-emu read and write, as a hostile or unlucky user meets
// them: links planted beside them or on the way to them (and swapped while a program runs),
// links and hard links to them, FIFOs nobody reads, the program's own output, write
// protection, access control lists, a read-only or full file system, a state file of the wrong
// size, and several programs on one state file at once. Every byte, mode, owner and ACL in the
// folder is checked after each run. Run as root, the rows play the other user as nobody
// (uid 65534, which needs no entry in the user database) and switch fs.protected_symlinks off
// where the system lets them, so that the programs' own rule is what stops the links.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#ifdef QUILLPAD_EMU_PATH
#include <sys/acl.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_lock.h"
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

// The file's access control list as stored, in hex, or "" for none beyond the mode.
std::string AclOf(const fs::path& path) {
    char value[512];
    const ssize_t n = ::lgetxattr(path.c_str(), "system.posix_acl_access", value, sizeof value);
    std::string hex;
    for (ssize_t i = 0; i < n; ++i) {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(value[i]));
        hex += byte;
    }
    return hex.empty() ? "" : "acl " + hex + " ";
}

// Everything in dir but what lies under unchecked (a folder the other user changes at will).
Files Snapshot(const fs::path& dir, const char* unchecked = nullptr) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().lexically_relative(dir).string();
        if (unchecked != nullptr && name.starts_with(unchecked))
            continue;
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            files[name] = "link " + fs::read_symlink(entry.path()).string();
        } else if (S_ISDIR(st.st_mode)) {
            files[name] = "folder";
        } else if (S_ISFIFO(st.st_mode)) {
            files[name] = "fifo";
        } else {
            files[name] = Describe(st.st_mode, st.st_uid, st.st_gid,
                                   AclOf(entry.path()) + ReadFile(entry.path()));
        }
    }
    return files;
}

// Names of temporaries anywhere under dir.
std::vector<std::string> Temporaries(const fs::path& dir) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            found.push_back(entry.path().string());
    }
    return found;
}

std::string StateFileA(const fs::path& dir) {
    WriteFile(dir / "k.bin", kBlockA);
    ::chmod((dir / "k.bin").c_str(), 0644);
    return "";
}

bool Root() {
    return ::geteuid() == 0;
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

// The other user swapping two names of its own in a shared folder, as fast as it can, while
// the program runs again and again for some seconds.
struct Race {
    std::string a, b;
    int seconds = 0;
    const char* attackerFolder = nullptr;  // what the other user changes: not compared
};

struct Hazard {
    const char* name;
    // Prepares the folder; returns why the row cannot run here, or "".
    std::function<std::string(const fs::path& dir, std::unique_ptr<Mount>& mount)> setUp;
    // quillpadctl's arguments; or "quillpad-emu" and its arguments; or "sh" and a script run
    // with quillpadctl as $0; or "as-nobody" and quillpadctl's arguments run as uid 65534 in
    // group kGroup.
    Args args;
    int exitCode;
    std::string message;  // part of the one line on stderr; "" for a silent success
    // Turns the folder as it was before the run into what it must be after it.
    std::function<void(Files& files)> expect;
    Race race = {};
};

constexpr unsigned kGroup = 4242;  // a group root is in and nobody is not, unless given

// The program and arguments a row's args stand for (none where it is not built), and the name
// its messages start with.
Args CommandOf(const Args& args, std::string& program) {
    program = "quillpadctl";
    Args argv;
    if (args.front() == "quillpad-emu") {
        program = "quillpad-emu";
#ifdef QUILLPAD_EMU_PATH
        argv = {QUILLPAD_EMU_PATH};
        argv.insert(argv.end(), args.begin() + 1, args.end());
#endif  // else none: the row is skipped
    } else if (args.front() == "sh") {
        argv = {"/bin/sh", "-c", args.at(1), QUILLPADCTL_PATH};
    } else if (args.front() == "as-nobody") {
        argv = {"/usr/bin/setpriv", "--reuid=" + std::to_string(kNobody),
                "--regid=" + std::to_string(kNobody), "--groups=" + std::to_string(kGroup),
                QUILLPADCTL_PATH};
        argv.insert(argv.end(), args.begin() + 1, args.end());
    } else {
        argv = {QUILLPADCTL_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
    }
    return argv;
}

// Starts the other user exchanging the names a and b in dir until it is killed.
pid_t StartSwapping(const fs::path& dir, const Race& race) {
    const std::string a = (dir / race.a).string();
    const std::string b = (dir / race.b).string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(1);
        for (;;)
            ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
    }
    return pid;
}

// Switches the kernel's own link protection off for the life of the object where it may.
class UnprotectedSymlinks {
  public:
    UnprotectedSymlinks() {
        std::ifstream("/proc/sys/fs/protected_symlinks") >> old_;
        if (old_ != "0" && !Write("0")) {
            std::printf(
                "[   NOTE   ] fs.protected_symlinks is %s and cannot be changed here: "
                "the kernel stops planted links before the programs' own rule can\n",
                old_.c_str());
        }
    }
    ~UnprotectedSymlinks() {
        if (!old_.empty() && old_ != "0")
            Write(old_);
    }

  private:
    static bool Write(const std::string& value) {
        std::ofstream out("/proc/sys/fs/protected_symlinks");
        out << value;
        out.close();
        return static_cast<bool>(out);
    }
    std::string old_;
};

// As root: the other user's link (or anything) at path.
bool GiveToNobody(const fs::path& path) {
    return ::lchown(path.c_str(), kNobody, kNobody) == 0;
}

// A private folder of root's with a file and a 256-byte file in it, a shared sticky folder, and
// in it a link the other user planted to the private folder (evil) and one to the memory file.
std::string PlantedLinks(const fs::path& dir) {
    if (!Root())
        return "needs root";
    fs::create_directory(dir / "private");
    ::chmod((dir / "private").c_str(), 0700);
    WriteFile(dir / "private" / "file.txt", "precious\n");
    WriteFile(dir / "private" / "mem.bin", KeyOneBlock(0x1E));
    ::chmod((dir / "private" / "file.txt").c_str(), 0600);
    ::chmod((dir / "private" / "mem.bin").c_str(), 0600);
    fs::create_directory(dir / "shared");
    ::chmod((dir / "shared").c_str(), 01777);
    fs::create_symlink("../private", dir / "shared" / "evil");
    fs::create_symlink("../private/mem.bin", dir / "shared" / "mem.bin");
    if (!GiveToNobody(dir / "shared" / "evil") || !GiveToNobody(dir / "shared" / "mem.bin"))
        return "lchown failed";
    return StateFileA(dir);
}

TEST(FileHazards, NothingIsLostClobberedWidenedOrFollowedByAccident) {
    std::shared_ptr<FileLock> heldKeypad;  // another program's claim, for the --wait row
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
        {"a folder link another user planted on the way: save",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"--simulate", "k.bin", "save", "shared/evil/file.txt"},
         1,
         "shared/evil/file.txt: cannot be written: its path goes through a symbolic link "
         "another user made in a shared folder (evil)",
         [](Files&) {}},
        {"a folder link another user planted on the way: dump -o",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"--simulate", "k.bin", "dump", "-o", "shared/evil/file.txt"},
         1,
         "its path goes through a symbolic link another user made in a shared folder",
         [](Files&) {}},
        {"a folder link another user planted on the way: the emulator's log",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"quillpad-emu", "--log", "shared/evil/x", "--state", "k.bin"},
         1,
         "cannot open the event log shared/evil/x: its path goes through a symbolic link",
         [](Files&) {}},
        {"a folder link another user planted on the way: the emulator's state",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"quillpad-emu", "--state", "shared/evil/y"},
         1,
         "shared/evil/y: its path goes through a symbolic link",
         [](Files&) {}},
        {"a link in a folder of the other user's own, to root's file",
         [](const fs::path& dir, auto&) {
             const std::string planted = PlantedLinks(dir);
             fs::create_directory(dir / "shared" / "own");
             fs::create_symlink("../../private/file.txt", dir / "shared" / "own" / "file.txt");
             if (!planted.empty() || !GiveToNobody(dir / "shared" / "own") ||
                 !GiveToNobody(dir / "shared" / "own" / "file.txt"))
                 return planted.empty() ? std::string("lchown failed") : planted;
             return std::string();
         },
         {"--simulate", "k.bin", "save", "shared/own/file.txt"},
         1,
         "shared/own/file.txt: cannot be written: it is reached through a symbolic link another "
         "user made, to something that user does not own",
         [](Files&) {}},
        {"another user swaps a folder of its own and a link to root's folder",
         [](const fs::path& dir, auto&) {
             if (!Root())
                 return std::string("needs root");
             ::chmod(dir.c_str(), 0755);
             fs::create_directory(dir / "victim");
             WriteFile(dir / "victim" / "passwd", "root:x:0:0:root:/root:/bin/sh\n");
             ::chmod((dir / "victim" / "passwd").c_str(), 0644);
             fs::create_directory(dir / "shared");
             ::chmod((dir / "shared").c_str(), 01777);
             fs::create_directory(dir / "shared" / "evil");
             WriteFile(dir / "shared" / "evil" / "passwd", "its own\n");
             ::chmod((dir / "shared" / "evil" / "passwd").c_str(), 0666);
             fs::create_symlink("../victim", dir / "shared" / "swap");
             if (!GiveToNobody(dir / "shared" / "evil") ||
                 !GiveToNobody(dir / "shared" / "evil" / "passwd") ||
                 !GiveToNobody(dir / "shared" / "swap"))
                 return std::string("lchown failed");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "save", "shared/evil/passwd"},
         1,
         "its path goes through a symbolic link another user made in a shared folder",
         [](Files&) {},
         {"shared/evil", "shared/swap", 3, "shared"}},
        {"another user swaps a hard link to its FIFO and a link to root's file",
         [](const fs::path& dir, auto&) {
             if (!Root())
                 return std::string("needs root");
             ::chmod(dir.c_str(), 0755);
             WriteFile(dir / "secret", "precious\n");
             ::chmod((dir / "secret").c_str(), 0600);
             fs::create_directory(dir / "shared");
             ::chmod((dir / "shared").c_str(), 01777);
             if (::mkfifo((dir / "shared" / "fifo").c_str(), 0666) != 0)
                 return std::string("mkfifo failed");
             fs::create_hard_link(dir / "shared" / "fifo", dir / "shared" / "out.bin");
             fs::create_symlink("../secret", dir / "shared" / "swap");
             if (!GiveToNobody(dir / "shared" / "fifo") || !GiveToNobody(dir / "shared" / "swap"))
                 return std::string("lchown failed");
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "dump", "-o", "shared/out.bin"},
         1,
         "",  // either no program reads the FIFO, or the link is another user's
         [](Files&) {},
         {"shared/out.bin", "shared/swap", 2, "shared"}},
        {"a state file reached through a link another user planted is not read",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"--simulate", "shared/mem.bin", "dump", "-o", "out.bin"},
         1,
         "cannot read the simulated keypad's memory from shared/mem.bin: it is a symbolic link "
         "another user made in a shared folder",
         [](Files&) {}},
        {"nor through a hard link in a shared folder",
         [](const fs::path& dir, auto&) {
             const std::string planted = PlantedLinks(dir);
             if (planted.empty())
                 fs::create_hard_link(dir / "private" / "mem.bin", dir / "shared" / "hard.bin");
             return planted;
         },
         {"--simulate", "shared/hard.bin", "show"},
         1,
         "shared/hard.bin: it has 2 names (hard links) and lies in a shared folder",
         [](Files&) {}},
        {"nor by the emulator",
         [](const fs::path& dir, auto&) { return PlantedLinks(dir); },
         {"quillpad-emu", "--state", "shared/mem.bin"},
         1,
         "it is a symbolic link another user made in a shared folder",
         [](Files&) {}},
        {"save to a FIFO no program reads",
         [](const fs::path& dir, auto&) {
             ::mkfifo((dir / "fifo").c_str(), 0644);
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "save", "fifo"},
         1,
         "no program is reading fifo",
         [](Files&) {}},
        {"dump -o to a FIFO no program reads",
         [](const fs::path& dir, auto&) {
             ::mkfifo((dir / "fifo").c_str(), 0644);
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "dump", "-o", "fifo"},
         1,
         "no program is reading fifo",
         [](Files&) {}},
        {"restore from a FIFO no program writes",
         [](const fs::path& dir, auto&) {
             ::mkfifo((dir / "fifo").c_str(), 0644);
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "restore", "fifo"},
         1,
         "fifo: no program is writing to it",
         [](Files&) {}},
        {"the emulator's log to a FIFO no program reads",
         [](const fs::path& dir, auto&) {
             ::mkfifo((dir / "fifo").c_str(), 0644);
             return StateFileA(dir);
         },
         {"quillpad-emu", "--log", "fifo", "--state", "k.bin"},
         1,
         "no program is reading fifo",
         [](Files&) {}},
        {"a keypad another program holds: --wait gives up",
         [&](const fs::path& dir, auto&) {
             StateFileA(dir);
             std::string reason;
             heldKeypad = std::make_shared<FileLock>();
             return heldKeypad->Lock((dir / "k.bin").string(), FileLock::Mode::kExclusive, reason)
                        ? std::string()
                        : reason;
         },
         {"--wait", "1", "--simulate", "k.bin", "set", "1", "b"},
         5,
         "another program holds the keypad in slot 0; gave up after 1 s",
         [](Files&) {}},
        {"/dev/stdout and - are the descriptor the shell gave: >> keeps the lines before",
         [](const fs::path& dir, auto&) { return StateFileA(dir); },
         {"sh",
          "umask 022; echo line > log; \"$0\" --simulate k.bin dump -o /dev/stdout >> log "
          "&& \"$0\" --simulate k.bin dump -o - >> log && "
          "{ echo header; \"$0\" --simulate k.bin dump -o /dev/stdout; } > out"},
         0,
         "",
         [](Files& f) {
             f["log"] = Describe(0644, ::geteuid(), ::getegid(), "line\n" + kBlockA + kBlockA);
             f["out"] = Describe(0644, ::geteuid(), ::getegid(), "header\n" + kBlockA);
         }},
        {"an access control list denying another user is kept",
         [](const fs::path& dir, auto&) {
#ifdef QUILLPAD_EMU_PATH
             WriteFile(dir / "acl.txt", "old");
             acl_t acl = ::acl_from_text("u::rw-,u:65534:---,g::r--,m::r--,o::r--");
             const int set = acl == nullptr
                                 ? -1
                                 : ::acl_set_file((dir / "acl.txt").c_str(), ACL_TYPE_ACCESS, acl);
             ::acl_free(acl);
             if (set != 0)
                 return std::string("no ACLs here: ") + std::strerror(errno);
             return StateFileA(dir);
#else
             return std::string("no ACLs here");
#endif
         },
         {"--simulate", "k.bin", "dump", "-o", "acl.txt"},
         0,
         "",
         [](Files& f) { f["acl.txt"].replace(f["acl.txt"].size() - 3, 3, kBlockA); }},
        {"a file written through its group is not made the writer's own",
         [](const fs::path& dir, auto&) {
             if (!Root())
                 return std::string("needs root");
             if (::chown(dir.c_str(), 0, kGroup) != 0 || ::chmod(dir.c_str(), 0775) != 0)
                 return std::string("chown failed");
             WriteFile(dir / "group.txt", "the group's\n");
             if (::chown((dir / "group.txt").c_str(), 0, kGroup) != 0)
                 return std::string("chown failed");
             ::chmod((dir / "group.txt").c_str(), 0664);
             return StateFileA(dir);
         },
         {"as-nobody", "--simulate", "k.bin", "dump", "-o", "group.txt"},
         1,
         "group.txt: cannot be written: it belongs to another user",
         [](Files&) {}},
        {"the simulated keypad's own memory as the output",
         [](const fs::path& dir, auto&) { return StateFileA(dir); },
         {"--simulate", "k.bin", "save", "k.bin"},
         1,
         "k.bin: cannot be written: it is the simulated keypad's memory",
         [](Files&) {}},
        {"a temporary a killed run left over a minute ago is removed, a newer one kept",
         [](const fs::path& dir, auto&) {
             WriteFile(dir / "k.bin.tmp-Kil1ed00", "left");
             WriteFile(dir / "k.bin.tmp-Runn1ng0", "at work");
             const timeval twoMinutesAgo[2] = {{std::time(nullptr) - 120, 0},
                                               {std::time(nullptr) - 120, 0}};
             ::utimes((dir / "k.bin.tmp-Kil1ed00").c_str(), twoMinutesAgo);
             return StateFileA(dir);
         },
         {"--simulate", "k.bin", "set", "1", "b"},
         0,
         "",
         [&](Files& f) {
             f.erase("k.bin.tmp-Kil1ed00");
             f["k.bin"] = newB;
         }},
        {"a name in valid UTF-8 is shown as it is",
         [](const fs::path& dir, auto&) { return StateFileA(dir); },
         {"--simulate", "k.bin", "set", "1", "\xC3\xA4"},
         2,
         "unknown name '\xC3\xA4'",
         [](Files&) {}},
    };

    const UnprotectedSymlinks unprotected;
    for (const Hazard& hazard : hazards) {
        SCOPED_TRACE(hazard.name);
        TempDir dir;
        std::unique_ptr<Mount> mount;
        const std::string cannot = hazard.setUp(dir.path(), mount);
        if (!cannot.empty()) {
            std::printf("[ SKIPPED  ] row \"%s\": %s\n", hazard.name, cannot.c_str());
            continue;
        }
        std::string program;
        const Args argv = CommandOf(hazard.args, program);
        if (argv.empty()) {
            std::printf("[ SKIPPED  ] row \"%s\": no quillpad-emu here\n", hazard.name);
            continue;
        }
        Files expected = Snapshot(dir.path(), hazard.race.attackerFolder);
        hazard.expect(expected);
        const pid_t attacker = hazard.race.seconds > 0 ? StartSwapping(dir.path(), hazard.race) : 0;
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::seconds(hazard.race.seconds);
        int runs = 0;
        do {
            // A run that hangs is killed after 20 s and fails the row.
            const CtlRun run =
                WaitCtl(StartProgram(dir.path(), argv, ".run"), dir.path(), ".run", 20);
            ++runs;
            if (hazard.race.seconds > 0 && run.exitCode == 0)
                continue;  // the name led into the other user's own folder this time
            EXPECT_EQ(run.exitCode, hazard.exitCode) << run.err;
            if (hazard.message.empty() && hazard.race.seconds == 0) {
                EXPECT_EQ(run.err, "");
            } else {
                // One line, after any saying what the program waits for.
                const std::size_t lastLine = run.err.rfind('\n', run.err.size() - 2) + 1;
                EXPECT_TRUE(run.err.substr(lastLine).starts_with(program + ": ")) << run.err;
                EXPECT_TRUE(run.err.ends_with('\n')) << run.err;
                EXPECT_NE(run.err.find(hazard.message, lastLine), std::string::npos) << run.err;
            }
        } while (std::chrono::steady_clock::now() < until && !::testing::Test::HasFailure());
        if (attacker > 0) {
            ::kill(attacker, SIGKILL);
            ::waitpid(attacker, nullptr, 0);
            std::printf("[   NOTE   ] row \"%s\": %d runs during the swapping\n", hazard.name,
                        runs);
        }
        EXPECT_EQ(Snapshot(dir.path(), hazard.race.attackerFolder), expected);
        // No temporary is left, in the other user's folder either, but those the row planted.
        for (const std::string& temporary : Temporaries(dir.path())) {
            EXPECT_EQ(expected.count(fs::path(temporary).lexically_relative(dir.path()).string()),
                      1u)
                << temporary;
        }
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
