// A claim between the programs of one Windows session, named by a text (a HID interface path, a
// file's full path): a named mutex whose name is derived from the text, case-insensitively.
// Unlike a lock on a file handle it never stops a file from being replaced, and Windows frees
// it when the program holding it ends. It is held by the thread that took it and must be
// released by that thread. Two claims of one process on the same text also take turns, as two
// flock descriptors do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillpad {

class NamedClaim {
  public:
    NamedClaim() = default;
    ~NamedClaim() { Release(); }
    NamedClaim(NamedClaim&& other) noexcept;
    NamedClaim& operator=(NamedClaim&& other) noexcept;
    NamedClaim(const NamedClaim&) = delete;
    NamedClaim& operator=(const NamedClaim&) = delete;

    // The mutex name for text in a namespace ("keypad", "file").
    static std::string NameFor(const std::string& space, const std::string& text);

    // Waits for the claim named by name. While another holds it, waiting is called about
    // every kLockRetryMs and the claim gives up when it answers false; without waiting it waits as
    // long as it takes. False with the reason when it gives up or cannot be made.
    bool Take(const std::string& name, std::string& reason, const std::function<bool()>& waiting);
    void Release();
    bool held() const { return handle_ != 0; }

  private:
    std::intptr_t handle_ = 0;  // the mutex HANDLE, 0 when none
    std::string name_;
};

}  // namespace quillpad
