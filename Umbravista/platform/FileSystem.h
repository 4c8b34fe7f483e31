#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <variant>

namespace umbravista {

// Why a file could not be read whole; each kind names the first check that refused it.
enum class FileReadFailure {
  kNoPath,            // The path is null.
  kMissing,           // Nothing is at the path, or a directory on the way is missing or is a file.
  kCannotOpen,        // Something is there but cannot be opened, such as for want of permission.
  kNotRegularFile,    // A FIFO, directory, socket, character or block device.
  kLargerThanCap,     // Larger than the size cap, or grew past it while being read.
  kReadError,         // The file was opened but reading it failed.
  kChangedWhileRead,  // The file grew while it was read: what was read is no whole file.
  kNoMemory,          // No room could be had for the file's bytes.
};

// Where a read puts the bytes of a file. Asked once per read, after the file has been opened and
// found regular and within the cap, for room for at least `fileSize` + 1 bytes (the one more byte
// tells a file that grew while it was read); answering less refuses the read with kNoMemory.
class FileRoom {
 public:
  virtual std::span<char> RoomFor(std::size_t fileSize) = 0;

 protected:
  FileRoom() = default;
  ~FileRoom() = default;
  FileRoom(const FileRoom&) = default;
  FileRoom& operator=(const FileRoom&) = default;
};

// Reads the whole of the file at `path` into the room that `room` gives, and answers how many
// bytes it read, or why it read none.
//
// Reads only a regular file (directly or through symbolic links) of at most `sizeCap` bytes.
// Refuses without reading a null or missing path, a file that cannot be opened, and anything that
// is not a regular file: a FIFO (never blocks, whether or not a writer is present), a directory, a
// socket, a character or block device such as /dev/zero. Refuses a file larger than `sizeCap`, one
// that grows while it is being read (never more than one byte past the size found on opening is
// read, whatever room there is), and any read error. An empty regular file answers 0.
//
// Safe to call from inside a host process: it never blocks on a special file, never becomes the
// controlling terminal, never leaks the descriptor to a child process, always closes what it
// opened, never writes, and allocates nothing itself.
[[nodiscard]] std::variant<std::size_t, FileReadFailure> ReadRegularFile(const char* path,
                                                                         std::size_t sizeCap,
                                                                         FileRoom& room);

// ReadRegularFile into a string, for tools: the file's bytes, or why there are none.
[[nodiscard]] std::variant<std::string, FileReadFailure> ReadRegularFileToString(
    const char* path, std::size_t sizeCap);

}  // namespace umbravista
