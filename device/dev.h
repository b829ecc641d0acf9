// The Dev... library: finds attached keypads, keeps them in a process-wide table of 32
// slots, and reads and writes blocks of the keypad's memory.
//
// Results are int 1 for success and 0 for failure; -1 marks no handle, an empty slot and
// no device selected. Every call runs on the calling thread and blocks on the platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hid_platform.h"

namespace quillpad {

inline constexpr int kMaxDevices = 32;
inline constexpr std::uint16_t kKeypadVendorId = 0x1130;
inline constexpr std::uint16_t kKeypadProductId = 0x660C;
inline constexpr std::uint16_t kKeypadUsagePage = 0x01;
inline constexpr std::uint16_t kKeypadUsage = 0x03;

// Closes every slot, then finds and opens the attached keypads; returns the device count.
// window: opaque recipient of device notifications (may be null).
int DevEnumerate(void* window);
// Makes index the current device (no check; -1 = none selected).
void DevSelect(int index);
int DevCurrentIndex();
// 1 when 0 <= index < 32 and the slot holds an opened keypad.
int DevIsReady(int index);
void DevCloseAll();
void DevClose(int index);

// Transfers on the current device, or on slot index.
int DevReadBlock(std::uint8_t* buffer, int address, int length);
int DevWriteBlock(const std::uint8_t* buffer, int address, int length);
int DevReadBlockAt(int index, std::uint8_t* buffer, int address, int length);
int DevWriteBlockAt(int index, const std::uint8_t* buffer, int address, int length);

// The platform the library talks to. By default the real one of this operating system;
// a program or test may install another (the library does not own it). Installing one
// closes every slot first. nullptr restores the default.
void DevSetPlatform(HidPlatform* platform);
HidPlatform& DevGetPlatform();

// How often a claim on a keypad that another program holds is tried again, in ms: the
// interval of the file locks the backends claim keypads with (FileLock).
inline constexpr int kLockRetryMs = 100;

// Claims the keypad in slot index against other programs, for a run of transfers that must
// not be interleaved with theirs (a read, a change and the write back). The claim is held on
// a handle of its own: later enumerations, which close and reopen the slots, keep it.
// While another program holds the keypad, waiting is called about every kLockRetryMs (to tell
// the user, and to decide): the call waits on while it answers true and gives up when it
// answers false. Without waiting, the call waits as long as it takes.
// nullptr with the reason when the slot is empty or the claim fails.
std::unique_ptr<KeypadLock> DevLockKeypad(int index, std::string& reason,
                                          const std::function<bool()>& waiting = {});
// Why the last failed transfer failed, when the platform can tell (the simulated keypad's
// file); empty otherwise.
std::string DevLastTransferError();

// Keypads the last DevEnumerate saw but could not open, with the reason (for example a Linux
// device node this user may not open). Empty when the platform cannot tell.
std::vector<DeviceProblem> DevLastProblems();

}  // namespace quillpad
