// The one way files are written: a new file is created exclusively beside the destination
// (a random name, never through a link found at that name), written, synced and renamed over
// it, and the folder is synced. A reader sees the old content or the new, never a mixture.
//
// A destination that is a symbolic link is resolved first (on purpose), so the link keeps
// working and its target gets the new content; a link another user planted in a shared
// folder is not followed (see LinkMayBeFollowed). An existing file keeps its mode and, where
// the user may set them, its owner and group; a new file gets the mode the umask allows. A
// file the user may not open for writing is refused, as cp refuses it, and so is a file
// with other hard links, which a rename would split from the new content.
#pragma once

#include <string>
#include <string_view>

namespace quillpad {

class FileLock;

// False with the reason when path is a symbolic link another user made in a sticky folder
// anyone may write to (such as /tmp), unless that user owns the folder: such a link may have
// been planted at the name to send what is written elsewhere. The rule the kernel applies
// where protected_symlinks is set, kept where it is not. True for anything but a link.
bool LinkMayBeFollowed(const std::string& path, std::string& reason);

// Replaces the content of the file at path (created when missing). When keepLocked holds a
// lock on the old file, the new file is locked before it takes the name and the lock moves
// to it, so no other program that locks the file slips in between. False with the reason
// (one line without the path) when the file was left as it was.
bool ReplaceFileAtomically(const std::string& path, std::string_view content, std::string& reason,
                           FileLock* keepLocked = nullptr);

// Creates the file at path holding content, unless something already has that name: then
// nothing is written and created is false. False with the reason on failure.
bool CreateFileIfMissing(const std::string& path, std::string_view content, bool& created,
                         std::string& reason);

}  // namespace quillpad
