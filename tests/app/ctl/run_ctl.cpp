#include "run_ctl.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quillpad::testing {

int StartCtl(const std::filesystem::path& dir, const std::vector<std::string>& args,
             const std::string& name) {
    std::vector<std::string> argv = {QUILLPADCTL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return StartProgram(dir, argv, name);
}

int StartProgram(const std::filesystem::path& dir, const std::vector<std::string>& program,
                 const std::string& name) {
    const std::string outPath = (dir / (name + ".stdout")).string();
    const std::string errPath = (dir / (name + ".stderr")).string();
    std::vector<std::string> argStrings = program;
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argStrings[0]);
    return pid;
}

CtlRun WaitCtl(int pid, const std::filesystem::path& dir, const std::string& name,
               int timeoutSeconds) {
    int status = 0;
    bool killed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        const pid_t done = waitpid(pid, &status, timeoutSeconds > 0 ? WNOHANG : 0);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            throw std::runtime_error("waitpid failed");
        if (done == 0 && std::chrono::steady_clock::now() > deadline && !killed) {
            kill(pid, SIGKILL);
            killed = true;
        } else if (done == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    CtlRun run;
    run.exitCode = killed ? -2 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::filesystem::path outPath = dir / (name + ".stdout");
    const std::filesystem::path errPath = dir / (name + ".stderr");
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    std::error_code ec;
    std::filesystem::remove(outPath, ec);
    std::filesystem::remove(errPath, ec);
    return run;
}

CtlRun RunCtl(const std::filesystem::path& dir, const std::vector<std::string>& args) {
    return WaitCtl(StartCtl(dir, args, ".run"), dir, ".run");
}

}  // namespace quillpad::testing
