#include "emulator_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <thread>

namespace quillpad::kernel_test {

namespace {

using Clock = std::chrono::steady_clock;

void Nap() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool Before(Clock::time_point deadline) {
    return Clock::now() < deadline;
}

Clock::time_point After(double seconds) {
    return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

}  // namespace

EmulatorProcess::EmulatorProcess(const std::string& emu, const std::string& workDir,
                                 const std::string& tag, const std::vector<std::string>& args)
    : logPath_(workDir + "/" + tag + ".log") {
    unlink(logPath_.c_str());
    std::vector<std::string> all = {emu, "--log", logPath_, "--name", "emu-" + tag};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = fork();
    if (pid_ == 0) {
        std::vector<char*> argv;
        for (std::string& arg : all) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid_ < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        return;
    }
    auto deadline = After(10);
    while (node_.empty() && Before(deadline)) {
        for (const std::string& line : LogLines({"ready "})) {
            node_ = line.substr(6);
        }
        if (node_.empty() && WaitExit(0) != -1) {
            error_ = "quillpad-emu ended with status " + std::to_string(status_);
            return;
        }
        Nap();
    }
    if (node_.empty()) {
        error_ = "quillpad-emu showed no hidraw node within 10 s";
    }
}

EmulatorProcess::~EmulatorProcess() {
    Stop();
}

std::vector<std::string> EmulatorProcess::LogLines() const {
    std::vector<std::string> lines;
    std::ifstream log(logPath_);
    std::string line;
    while (std::getline(log, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> EmulatorProcess::LogLines(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> picked;
    for (const std::string& line : LogLines()) {
        for (const std::string& prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) {
                picked.push_back(line);
                break;
            }
        }
    }
    return picked;
}

int EmulatorProcess::WaitExit(double seconds) {
    if (pid_ <= 0) {
        return status_;
    }
    auto deadline = After(seconds);
    do {
        int raw = 0;
        pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            pid_ = -1;
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            return status_;
        }
        if (seconds > 0) {
            Nap();
        }
    } while (Before(deadline));
    return -1;
}

int EmulatorProcess::Stop() {
    if (pid_ <= 0) {
        return status_;
    }
    kill(pid_, SIGTERM);
    if (WaitExit(3) == -1 && pid_ > 0) {
        kill(pid_, SIGKILL);
        WaitExit(3);
        status_ = -1;
    }
    return status_;
}

bool WriteStateFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int OpenHidrawHandles() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    while (dirent* entry = readdir(dir)) {
        std::string link = std::string("/proc/self/fd/") + entry->d_name;
        char target[PATH_MAX] = {};
        if (readlink(link.c_str(), target, sizeof target - 1) > 0 &&
            std::strncmp(target, "/dev/hidraw", 11) == 0) {
            ++count;
        }
    }
    closedir(dir);
    return count;
}

bool WaitNoHidrawNodes(double seconds) {
    auto deadline = After(seconds);
    while (true) {
        bool any = false;
        if (DIR* dir = opendir("/sys/class/hidraw")) {
            while (dirent* entry = readdir(dir)) {
                any = any || std::strncmp(entry->d_name, "hidraw", 6) == 0;
            }
            closedir(dir);
        }
        if (!any) {
            return true;
        }
        if (!Before(deadline)) {
            return false;
        }
        Nap();
    }
}

OpenWatch::OpenWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

OpenWatch::~OpenWatch() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool OpenWatch::Add(const std::string& node) {
    int wd = fd_ < 0 ? -1 : inotify_add_watch(fd_, node.c_str(), IN_OPEN);
    if (wd < 0) {
        return false;
    }
    watches_.emplace_back(wd, node);
    return true;
}

std::vector<std::string> OpenWatch::Opened() {
    std::vector<std::string> opened;
    alignas(inotify_event) char buffer[4096];
    while (true) {
        ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            for (const auto& [wd, node] : watches_) {
                if (wd == event->wd && (event->mask & IN_OPEN) != 0) {
                    opened.push_back(node);
                }
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return opened;
}

}  // namespace quillpad::kernel_test
