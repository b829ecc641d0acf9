#include "uhid_emulator.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "assignment_text.h"
#include "atomic_file.h"
#include "keypad/keypad_protocol.h"
#include "platform/sim/state_file.h"

namespace quillpad::emu {

namespace {

constexpr std::uint16_t kBusUsb = 0x03;
volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

// Without restart, so a signal breaks the wait for the next event.
void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// uhid keeps only a short queue of output events and drops what does not fit: the emulator
// must be running whenever the host writes. A real-time priority makes sure of that.
void TryRealTimePriority(bool verbose) {
    sched_param param{};
    param.sched_priority = 10;
    if (sched_setscheduler(0, SCHED_FIFO, &param) != 0 && verbose) {
        std::fprintf(stderr,
                     "quillpad-emu: note: cannot run SCHED_FIFO (%s); under load the kernel "
                     "may drop output reports\n",
                     std::strerror(errno));
    }
}

class EventLog {
  public:
    EventLog(const std::string& path, bool verbose) : verbose_(verbose) {
        // The emulator runs as root: the log is opened with the rest of the project's file
        // code, which never follows a link another user planted in /tmp and never waits for
        // a FIFO's reader.
        if (!path.empty()) {
            open_ = file_.Open(path, error_);
            if (!open_ && file_.noReader()) {
                error_ = "no program is reading " + path;
            }
        }
    }

    bool Failed(const std::string& path) const { return !path.empty() && !open_; }
    const std::string& error() const { return error_; }

    void Line(const std::string& text) {
        std::string line = text + "\n";
        std::string reason;
        if (open_ && !file_.Append(line, reason)) {
            std::fprintf(stderr, "quillpad-emu: cannot write the event log: %s\n", reason.c_str());
        }
        if (verbose_) {
            std::fprintf(stderr, "quillpad-emu: %s", line.c_str());
        }
    }

  private:
    AppendingFile file_;
    bool open_ = false;
    std::string error_;
    bool verbose_;
};

// The hidraw node whose HID device carries uniq, or "" while there is none yet.
std::string FindHidrawNode(const std::string& uniq) {
    std::string found;
    DIR* dir = opendir("/sys/class/hidraw");
    if (dir == nullptr) {
        return found;
    }
    while (dirent* entry = readdir(dir)) {
        std::string node = entry->d_name;
        if (node.rfind("hidraw", 0) != 0) {
            continue;
        }
        std::ifstream uevent("/sys/class/hidraw/" + node + "/device/uevent");
        std::string line;
        while (std::getline(uevent, line)) {
            if (line == "HID_UNIQ=" + uniq) {
                found = node;
            }
        }
    }
    closedir(dir);
    return found;
}

class UhidEmulator {
  public:
    UhidEmulator(const EmulatorConfig& config, const ConfigBlock& memory)
        : config_(config), protocol_(memory), log_(config.logPath, config.verbose) {
        uniq_ = "quillpad-emu-" + std::to_string(getpid());
    }
    ~UhidEmulator() { Remove(); }
    UhidEmulator(const UhidEmulator&) = delete;
    UhidEmulator& operator=(const UhidEmulator&) = delete;

    int Run();

  private:
    bool Create();
    void Remove();
    bool Send(const uhid_event& event);
    void Violation(const std::string& text);
    void SaveMemory();
    void Announce();
    // Each returns false when the device is gone and the run ends.
    bool OnOutput(const uhid_output_req& output);
    bool OnGetReport(const uhid_get_report_req& request);
    void OnSetReport(const uhid_set_report_req& request);
    bool Vanish(const char* why);

    const EmulatorConfig& config_;
    KeypadProtocol protocol_;
    EventLog log_;
    std::string uniq_;
    int fd_ = -1;
    bool announced_ = false;
    bool failed_ = false;
    int violations_ = 0;
};

bool UhidEmulator::Send(const uhid_event& event) {
    if (write(fd_, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) {
        std::fprintf(stderr, "quillpad-emu: writing to /dev/uhid failed: %s\n",
                     std::strerror(errno));
        failed_ = true;
        return false;
    }
    return true;
}

bool UhidEmulator::Create() {
    fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        std::fprintf(stderr,
                     "quillpad-emu: cannot open /dev/uhid: %s (it needs the uhid kernel module "
                     "and root)\n",
                     std::strerror(errno));
        return false;
    }
    if (config_.descriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        std::fprintf(stderr, "quillpad-emu: report descriptor too long\n");
        return false;
    }
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    std::snprintf(reinterpret_cast<char*>(create.name), sizeof create.name, "%s",
                  config_.name.c_str());
    std::snprintf(reinterpret_cast<char*>(create.phys), sizeof create.phys, "quillpad-emu");
    std::snprintf(reinterpret_cast<char*>(create.uniq), sizeof create.uniq, "%s", uniq_.c_str());
    create.rd_size = static_cast<std::uint16_t>(config_.descriptor.size());
    create.bus = kBusUsb;
    create.vendor = config_.vendor;
    create.product = config_.product;
    create.version = 0x0100;
    std::copy(config_.descriptor.begin(), config_.descriptor.end(), create.rd_data);
    if (!Send(event)) {
        return false;
    }
    char text[96];
    std::snprintf(text, sizeof text, "created %04x:%04x uniq=%s", config_.vendor, config_.product,
                  uniq_.c_str());
    log_.Line(text);
    return true;
}

void UhidEmulator::Remove() {
    if (fd_ < 0) {
        return;
    }
    uhid_event event{};
    event.type = UHID_DESTROY;
    Send(event);
    close(fd_);
    fd_ = -1;
}

void UhidEmulator::Violation(const std::string& text) {
    ++violations_;
    std::fprintf(stderr, "quillpad-emu: protocol violation by the host: %s\n", text.c_str());
    log_.Line("violation " + text);
}

void UhidEmulator::SaveMemory() {
    std::string error;
    if (!config_.statePath.empty() &&
        !SaveStateFile(config_.statePath, protocol_.Memory(), error)) {
        std::fprintf(stderr, "quillpad-emu: %s\n", error.c_str());
        failed_ = true;
    }
}

void UhidEmulator::Announce() {
    std::string node = FindHidrawNode(uniq_);
    if (node.empty()) {
        return;
    }
    announced_ = true;
    log_.Line("ready /dev/" + node);
    std::printf("quillpad-emu: %s %04x:%04x is on /dev/%s (Ctrl+C removes it)\n",
                config_.name.c_str(), config_.vendor, config_.product, node.c_str());
    std::fflush(stdout);
}

bool UhidEmulator::Vanish(const char* why) {
    log_.Line(std::string("vanish ") + why);
    Remove();
    return false;
}

bool UhidEmulator::OnOutput(const uhid_output_req& output) {
    std::size_t size = std::min<std::size_t>(output.size, UHID_DATA_MAX);
    std::span<const std::uint8_t> report(output.data, size);
    log_.Line("output " + HexBytes(report));
    if (output.rtype != UHID_OUTPUT_REPORT) {
        Violation("a report of type " + std::to_string(output.rtype) +
                  " sent as output; the keypad takes only output reports there");
        return true;
    }
    if (!config_.speaksKeypadProtocol) {
        return true;
    }
    OutputResult result = protocol_.OnOutputReport(report);
    for (const std::string& violation : result.violations) {
        Violation(violation);
    }
    if (result.event == OutputEvent::kWriteComplete) {
        SaveMemory();
    }
    if (result.event == OutputEvent::kWriteHeader &&
        config_.fault == Fault::kVanishAfterWriteHeader) {
        return Vanish("after the write header");
    }
    return true;
}

bool UhidEmulator::OnGetReport(const uhid_get_report_req& request) {
    log_.Line("get-report type=" + std::to_string(request.rtype) +
              " number=" + std::to_string(request.rnum));
    uhid_event reply{};
    reply.type = UHID_GET_REPORT_REPLY;
    reply.u.get_report_reply.id = request.id;
    reply.u.get_report_reply.err = EIO;
    if (request.rtype != UHID_FEATURE_REPORT || !config_.speaksKeypadProtocol) {
        if (config_.speaksKeypadProtocol) {
            Violation("request for a report of type " + std::to_string(request.rtype) +
                      "; the keypad answers only feature requests");
        }
        return Send(reply);
    }
    if (config_.fault == Fault::kNoFeatureReply) {
        log_.Line("no reply (fault)");
        return true;
    }
    if (config_.fault == Fault::kVanishDuringFeature) {
        return Vanish("during the feature request");
    }
    FeatureResult result = protocol_.OnFeatureRequest(request.rnum);
    for (const std::string& violation : result.violations) {
        Violation(violation);
    }
    if (result.answered) {
        reply.u.get_report_reply.err = 0;
        reply.u.get_report_reply.size = static_cast<std::uint16_t>(result.report.size());
        std::copy(result.report.begin(), result.report.end(), reply.u.get_report_reply.data);
        log_.Line("feature-reply " + std::to_string(result.report.size()));
    } else {
        log_.Line("feature-refused");
    }
    return Send(reply);
}

void UhidEmulator::OnSetReport(const uhid_set_report_req& request) {
    log_.Line("set-report type=" + std::to_string(request.rtype) +
              " number=" + std::to_string(request.rnum));
    if (config_.speaksKeypadProtocol) {
        Violation("set-report request (type " + std::to_string(request.rtype) +
                  "); the keypad takes its commands as output reports only");
    }
    uhid_event reply{};
    reply.type = UHID_SET_REPORT_REPLY;
    reply.u.set_report_reply.id = request.id;
    reply.u.set_report_reply.err = EIO;
    Send(reply);
}

int UhidEmulator::Run() {
    if (log_.Failed(config_.logPath)) {
        std::fprintf(
            stderr, "quillpad-emu: %s\n",
            ShowForMessage("cannot open the event log " + config_.logPath + ": " + log_.error())
                .c_str());
        return 1;
    }
    CatchStopSignals();
    TryRealTimePriority(config_.verbose);
    if (!Create()) {
        return 1;
    }
    bool present = true;
    while (present && !stopRequested && !failed_) {
        pollfd wait{fd_, POLLIN, 0};
        int ready = poll(&wait, 1, announced_ ? -1 : 20);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::fprintf(stderr, "quillpad-emu: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (!announced_) {
            Announce();
        }
        if (ready == 0) {
            continue;
        }
        uhid_event event{};
        ssize_t got = read(fd_, &event, sizeof event);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            std::fprintf(stderr, "quillpad-emu: reading /dev/uhid failed: %s\n",
                         std::strerror(errno));
            return 1;
        }
        switch (event.type) {
            case UHID_START:
                log_.Line("start");
                break;
            case UHID_STOP:
                log_.Line("stop");
                break;
            case UHID_OPEN:
                log_.Line("open");
                break;
            case UHID_CLOSE:
                log_.Line("close");
                break;
            case UHID_OUTPUT:
                present = OnOutput(event.u.output);
                break;
            case UHID_GET_REPORT:
                present = OnGetReport(event.u.get_report);
                break;
            case UHID_SET_REPORT:
                OnSetReport(event.u.set_report);
                break;
            default:
                log_.Line("event " + std::to_string(event.type));
                break;
        }
    }
    Remove();
    if (failed_) {
        return 1;
    }
    return violations_ > 0 ? 3 : 0;
}

}  // namespace

int RunUhidEmulator(const EmulatorConfig& config, const ConfigBlock& memory) {
    UhidEmulator emulator(config, memory);
    return emulator.Run();
}

}  // namespace quillpad::emu
