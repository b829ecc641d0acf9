// The calls the POSIX file code makes at the steps whose order and exclusiveness matter, kept
// in one table so a test can watch them (and the choice of temporary names) without timing.
#pragma once

#include <sys/types.h>

namespace quillpad::posix {

struct FileCalls {
    int (*openat)(int folder, const char* name, int flags, mode_t mode);
    int (*fsync)(int fd);
    int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
    // Fills letters[0..7] with the random part of a temporary file's name.
    void (*temporaryLetters)(char* letters);
};

// The table in use; tests replace entries and put the defaults back.
FileCalls& Calls();
FileCalls DefaultCalls();

}  // namespace quillpad::posix
