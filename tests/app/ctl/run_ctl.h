// Runs the real quillpadctl program as a child process and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "temp_files.h"

namespace quillpad::testing {

struct CtlRun {
    int exitCode = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs quillpadctl with args, in folder dir (which also holds its captured output).
CtlRun RunCtl(const std::filesystem::path& dir, const std::vector<std::string>& args);

// The same in two steps, for runs at the same time: each needs its own name, under which its
// output is kept in dir.
int StartCtl(const std::filesystem::path& dir, const std::vector<std::string>& args,
             const std::string& name);
// With timeoutSeconds, a program still running then is killed and the run's exitCode is -2.
CtlRun WaitCtl(int pid, const std::filesystem::path& dir, const std::string& name,
               int timeoutSeconds = 0);

// StartCtl for another program: argv is its path and arguments.
int StartProgram(const std::filesystem::path& dir, const std::vector<std::string>& argv,
                 const std::string& name);

}  // namespace quillpad::testing
