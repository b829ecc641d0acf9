// quillpadctl-docs: reads a template of quillpadctl's manual page or of a shell completion on
// standard input and writes it with the command-line grammar filled in (doc_templates.h).
// The build runs it; it is not installed.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "doc_templates.h"

int main(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: %s < TEMPLATE > FILE\n", argv[0]);
        return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(std::cin),
                           std::istreambuf_iterator<char>()};
    std::string out;
    std::string error;
    if (!quillpad::ctl::ExpandDocTemplate(text, out, error)) {
        std::fprintf(stderr, "quillpadctl-docs: %s\n", error.c_str());
        return 1;
    }
    std::cout << out;
    std::cout.flush();
    return std::cout ? 0 : 1;
}
