// An advisory lock on a file, held on a descriptor of its own: programs that lock the same
// file take turns, and closing or reopening other handles on it does not drop the lock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillpad {

class FileLock {
  public:
    enum class Mode { kShared, kExclusive };

    FileLock() = default;
    ~FileLock() { Unlock(); }
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the file at path (walked as atomic_file.h describes: a link is followed on purpose,
    // a planted one is not) and waits for the lock. While another program holds it, waiting
    // is called about every kLockRetryMs (dev.h), and the call gives up when it answers false;
    // without waiting it waits as long as it takes. When the name was given
    // to another file meanwhile (a writer replaced it), the lock moves on to that file, so on
    // return it is held on the file path names. False with the reason (no path) when the file
    // cannot be opened or locked.
    bool Lock(const std::string& path, Mode mode, std::string& reason,
              const std::function<bool()>& waiting = {});
    void Unlock();
    bool held() const { return held_; }

  private:
    friend class FileLockHandover;
    std::intptr_t handle_ = -1;  // the platform's descriptor, -1 when none
    bool held_ = false;
};

}  // namespace quillpad
