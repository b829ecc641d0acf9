// quillpadctl: the command-line tool for the Quillpad keypad.
#include <cstdio>
#include <string>
#include <vector>

#include "assignment_text.h"
#include "command_line.h"
#include "commands.h"

int main(int argc, char** argv) {
    using namespace quillpad::ctl;
    const std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine commandLine;
    Status status = ParseCommandLine(args, commandLine);
    std::string out;
    if (status.ok())
        status = RunCommand(commandLine, out);
    if (!status.ok()) {
        // File names in it may hold line breaks or terminal controls: it stays one line.
        std::fprintf(stderr, "quillpadctl: %s\n", quillpad::ShowForMessage(status.message).c_str());
        return status.code;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "quillpadctl: writing to standard output failed\n");
        return kExitBadFile;
    }
    return kExitOk;
}
