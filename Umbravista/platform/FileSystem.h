#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace umbravista {

// Reads the whole of a file named by its path on the device.
//
// The device path is looked up where the device's file system lives: when the environment
// variable SIMULATED_DEVICE_ROOT names a directory (non-empty), the file read is that directory
// followed by devicePath; when the variable is unset or empty, devicePath is read as it is. The
// variable is consulted at every call, so a change to it shows at the next call.
//
// Answers the file's bytes when devicePath names a regular file (directly or through symbolic
// links) of at most sizeCap bytes. Answers nullopt, without reading anything, for a null or
// missing path, a file that cannot be opened, and anything that is not a regular file: a FIFO
// (never blocks, whether or not a writer is present), a directory, a socket, a character or
// block device such as /dev/zero. Answers nullopt for a file larger than sizeCap, including
// one that grows past sizeCap while it is being read (at most sizeCap + 1 bytes are read), and
// for any read error. An empty regular file answers an empty string.
//
// Safe to call from inside a host process: it never blocks on a special file, never becomes the
// controlling terminal, never leaks the descriptor to a child process, always closes what it
// opened, and never writes.
[[nodiscard]] std::optional<std::string> ReadDeviceFile(const char* devicePath,
                                                        std::size_t sizeCap);

}  // namespace umbravista
