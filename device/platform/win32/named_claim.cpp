#include "named_claim.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <set>

#include "dev.h"

namespace quillpad {

namespace {

// Names held by this process: a mutex lets its owning thread take it again, flock does not.
std::mutex heldMutex;
std::set<std::string> heldNames;

bool MarkHeld(const std::string& name) {
    std::lock_guard<std::mutex> guard(heldMutex);
    return heldNames.insert(name).second;
}

void UnmarkHeld(const std::string& name) {
    std::lock_guard<std::mutex> guard(heldMutex);
    heldNames.erase(name);
}

std::string LastError() {
    return "Windows error " + std::to_string(GetLastError());
}

}  // namespace

NamedClaim::NamedClaim(NamedClaim&& other) noexcept
    : handle_(other.handle_), name_(std::move(other.name_)) {
    other.handle_ = 0;
}

NamedClaim& NamedClaim::operator=(NamedClaim&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        name_ = std::move(other.name_);
        other.handle_ = 0;
    }
    return *this;
}

std::string NamedClaim::NameFor(const std::string& space, const std::string& text) {
    // FNV-1a over the text with ASCII letters folded: Windows paths ignore case, and a mutex
    // name may hold no backslash and is limited in length.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return "Local\\quillpad-config-" + space + "-" + hex;
}

bool NamedClaim::Take(const std::string& name, std::string& reason,
                      const std::function<bool()>& waiting) {
    Release();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        reason = "cannot make the claim " + name + " (" + LastError() + ")";
        return false;
    }
    for (;;) {
        const DWORD waited = WaitForSingleObject(mutex, kLockRetryMs);
        // WAIT_ABANDONED: a program ended while it held the claim; the claim is ours now.
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            if (MarkHeld(name)) {
                break;
            }
            ReleaseMutex(mutex);  // this process holds it elsewhere: take turns
            Sleep(kLockRetryMs);
        } else if (waited != WAIT_TIMEOUT) {
            reason = "cannot wait for the claim " + name + " (" + LastError() + ")";
            CloseHandle(mutex);
            return false;
        }
        if (waiting && !waiting()) {
            reason = "another program holds it";
            CloseHandle(mutex);
            return false;
        }
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
    name_ = name;
    return true;
}

void NamedClaim::Release() {
    if (handle_ == 0) {
        return;
    }
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    UnmarkHeld(name_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    handle_ = 0;
    name_.clear();
}

}  // namespace quillpad
