// The one way files are read and written. On POSIX systems a path is walked once, one part
// at a time from a folder's descriptor (see platform/posix/path_walk.h), and everything after
// happens relative to the descriptor of the folder it led to, so a path is never looked up
// twice and never trusted twice.
//
// Symbolic links on the way are resolved on purpose (a link to a file keeps working and its
// target gets the new content), except a link another user planted in a shared sticky folder
// such as /tmp, and a link of another user to what that user does not own: those are refused
// for reading and writing alike, wherever in the path they are. A file with several names in
// a shared folder is not read either (one may be another user's hard link to our file).
//
// A file is replaced by a new one created exclusively beside it (never through anything found
// at that name), written, synced and renamed over it, and the folder is synced; a reader sees
// the old content or the new, never a mixture. The new file keeps the old one's owner, group,
// mode, access control list and security attributes; a file the user may not open for writing
// is refused, as cp refuses it, and so are a file with other hard links (a rename would split
// them) and a file of another user that this user could only replace with one of its own.
// Temporaries of ours older than a minute, left by a killed run, are removed beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillpad {

class FileLock;

// Which file a name stood for: two names of one file have the same.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};

// A file to write whole, opened and checked before anything is written, so that the checks
// (and a wait such as a FIFO without a reader) come before the work that makes the content.
class OutputFile {
  public:
    OutputFile();
    ~OutputFile();  // a temporary not yet renamed is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Walks path and prepares the new file beside the one it names. With allowStreams, what
    // is not a regular file (a device, a pipe, a terminal) is opened once without blocking
    // and written to, and "-", /dev/stdout, /dev/stderr and /proc/self/fd/N mean the
    // descriptors this program already has; without it they are refused. False with the reason
    // (one line without the path); noReader() then tells a FIFO that no program reads.
    bool Open(const std::string& path, bool allowStreams, std::string& reason);
    bool noReader() const;
    // The file the content goes to, or nothing for a file still to be made.
    std::optional<FileId> Target() const;

    // Writes content and puts it in place. When keepLocked holds a lock on the old file, the
    // new file is locked before it takes the name and the lock moves to it, so no other program
    // that locks the file slips in between. False with the reason when the file was left as it
    // was (a stream may hold part of it).
    bool Commit(std::string_view content, std::string& reason, FileLock* keepLocked = nullptr);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// A file lines are added to at its end (an event log), opened once, created when missing.
class AppendingFile {
  public:
    AppendingFile();
    ~AppendingFile();
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;

    // As OutputFile::Open with allowStreams, but a regular file is appended to in place.
    bool Open(const std::string& path, std::string& reason);
    bool noReader() const;
    bool Append(std::string_view text, std::string& reason);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Reads the file path names, at most maxBytes + 1 bytes (so a caller can tell a larger file).
// The path is walked as for writing; a FIFO or device is opened without blocking, and a FIFO
// without a writer is an error rather than a wait. With regularOnly anything else but a
// regular file is refused. False with the reason, worded to follow "FILE: " ("no such file",
// "is a folder, not a file", "cannot be read: ..."). id, when given, gets what was read.
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, bool regularOnly,
                   std::string& content, std::string& reason, FileId* id = nullptr);

// Which file path names now (walked as for reading), or nothing when it cannot be told.
std::optional<FileId> IdentifyFile(const std::string& path);

// Replaces the content of the regular file at path (created when missing), as OutputFile
// does. False with the reason (one line without the path) when the file was left as it was.
bool ReplaceFileAtomically(const std::string& path, std::string_view content, std::string& reason,
                           FileLock* keepLocked = nullptr);

// Creates the file at path holding content, unless something already has that name: then
// nothing is written and created is false. False with the reason on failure.
bool CreateFileIfMissing(const std::string& path, std::string_view content, bool& created,
                         std::string& reason);

}  // namespace quillpad
