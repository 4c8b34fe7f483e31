#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

namespace umbravista {

// Why a file could not be read whole; each kind names the first check that refused it.
enum class FileReadFailure {
  kNoPath,          // The path is null.
  kMissing,         // Nothing is at the path, or a directory on the way is missing or is a file.
  kCannotOpen,      // Something is there but cannot be opened, such as for want of permission.
  kNotRegularFile,  // A FIFO, directory, socket, character or block device.
  kLargerThanCap,   // Larger than the size cap, or grew past it while being read.
  kReadError,       // The file was opened but reading it failed.
};

// Reads the whole of the file at hostPath, a path on the machine that runs this code, under
// the rules ReadDeviceFile states below. Answers the file's bytes, or the reason it answers
// none, so that a tool can say why the library would find no settings in a file.
[[nodiscard]] std::variant<std::string, FileReadFailure> ReadRegularFile(const char* hostPath,
                                                                         std::size_t sizeCap);

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
// opened, and never writes. It maps the device path and then reads it with ReadRegularFile.
[[nodiscard]] std::optional<std::string> ReadDeviceFile(const char* devicePath,
                                                        std::size_t sizeCap);

}  // namespace umbravista
