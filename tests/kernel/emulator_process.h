// The kernel scenarios' helpers: a quillpad-emu child process with its event log, and views
// of the hidraw nodes from the outside (who opened them, which are left open).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quillpad::kernel_test {

// One running quillpad-emu. Its event log (one line per report, request and violation) is
// how a scenario sees what reached the keypad.
class EmulatorProcess {
  public:
    // Starts emu with args and a log of its own in workDir; waits until its hidraw node
    // exists. node() is empty when it did not come up (error() says why).
    EmulatorProcess(const std::string& emu, const std::string& workDir, const std::string& tag,
                    const std::vector<std::string>& args);
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    const std::string& node() const { return node_; }  // "/dev/hidrawN"
    const std::string& error() const { return error_; }
    // Every line of the event log so far.
    std::vector<std::string> LogLines() const;
    // Lines that start with one of the prefixes, in order.
    std::vector<std::string> LogLines(const std::vector<std::string>& prefixes) const;
    // Waits up to seconds for the process to end by itself; its exit status, or -1.
    int WaitExit(double seconds);
    // SIGTERM, then SIGKILL if it lingers; its exit status (-1 when killed).
    int Stop();

  private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string logPath_;
    std::string node_;
    std::string error_;
};

// The writable file state the emulator starts from.
bool WriteStateFile(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadWholeFile(const std::string& path);

// Descriptors of this process open on a /dev/hidraw node (removed nodes included).
int OpenHidrawHandles();
// Waits up to seconds until no hidraw node is left; false if some remain.
bool WaitNoHidrawNodes(double seconds);

// Reports whether anyone opened one of the watched device nodes since the watch began.
class OpenWatch {
  public:
    OpenWatch();
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool Add(const std::string& node);
    // Nodes opened since the last call.
    std::vector<std::string> Opened();

  private:
    int fd_ = -1;
    std::vector<std::pair<int, std::string>> watches_;
};

}  // namespace quillpad::kernel_test
