#pragma once
// Opening the devices a station reaches through <data root>/devices/. The program runs with no
// privilege of its own, but whatever a link there leads to is opened with the user's rights,
// so only the kinds of file a device can be are accepted: anything else is refused before a
// byte is read or written.

#include <string>

namespace quillmar {

enum class DeviceKind {
    CharacterDevice,           // a serial or parallel port, /dev/port
    CharacterDeviceOrOwnFile,  // ... or a plain file of the running user standing in for one
};

// Opens path (following links) with flags when what it leads to is of the kind; else -1 with
// the reason in error. What is opened is checked again, so a link changed in between is caught.
int OpenDevice(const std::string& path, int flags, DeviceKind kind, std::string* error);
// The same check without opening: the reason when the path leads to something of another
// kind; empty when it is acceptable or cannot be reached at all.
std::string CheckDevice(const std::string& path, DeviceKind kind);

}  // namespace quillmar
