#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace umbravista {

namespace {

// Owns an open descriptor so that every way out of the reader closes it exactly once.
class OpenDescriptor {
 public:
  explicit OpenDescriptor(int descriptor) : descriptor_(descriptor) {}
  OpenDescriptor(const OpenDescriptor&) = delete;
  OpenDescriptor& operator=(const OpenDescriptor&) = delete;
  OpenDescriptor(OpenDescriptor&&) = delete;
  OpenDescriptor& operator=(OpenDescriptor&&) = delete;
  // close() is not retried on EINTR: Linux and Darwin release the descriptor regardless, and a
  // retry could close a descriptor another thread of the host has just been given.
  ~OpenDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  [[nodiscard]] int Get() const { return descriptor_; }

 private:
  int descriptor_;
};

int OpenForReading(const char* path) {
  // O_NONBLOCK keeps open() of a FIFO without a writer from waiting; O_NOCTTY keeps a terminal
  // from becoming the host's controlling terminal; O_CLOEXEC keeps the descriptor out of children.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int descriptor = -1;
  do {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    descriptor = ::open(path, kFlags);
  } while (descriptor < 0 && errno == EINTR);
  return descriptor;
}

// Sorts a failed open() by its error: ENXIO and ENODEV come from a socket or a device file with
// nothing behind it, which are special files rather than files that are missing.
FileReadFailure FailureToOpen(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileReadFailure::kMissing;
    case ENXIO:
    case ENODEV:
      return FileReadFailure::kNotRegularFile;
    default:
      return FileReadFailure::kCannotOpen;
  }
}

class StringRoom final : public FileRoom {
 public:
  std::span<char> RoomFor(std::size_t fileSize) override {
    bytes.resize(fileSize + 1);
    return bytes;
  }
  std::string bytes;
};

}  // namespace

std::variant<std::size_t, FileReadFailure> ReadRegularFile(const char* path, std::size_t sizeCap,
                                                           FileRoom& room) {
  if (path == nullptr) return FileReadFailure::kNoPath;
  const OpenDescriptor file(OpenForReading(path));
  if (file.Get() < 0) return FailureToOpen(errno);

  // The type is judged on the open descriptor, not the path, so a file swapped in after the check
  // cannot slip through, and a symbolic link to a device is judged by what it reaches.
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) return FileReadFailure::kReadError;
  if (!S_ISREG(status.st_mode)) return FileReadFailure::kNotRegularFile;
  if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > sizeCap) {
    return FileReadFailure::kLargerThanCap;
  }
  const auto announced = static_cast<std::size_t>(status.st_size);
  const std::span<char> bytes = room.RoomFor(announced);
  if (bytes.size() <= announced) return FileReadFailure::kNoMemory;
  // One byte past the size announced tells a file that grew since fstat; reading on into a larger
  // room would take the growth in as part of the file.
  const std::size_t limit = announced + 1;
  std::size_t filled = 0;
  while (filled < limit) {
    const ssize_t count = ::read(file.Get(), bytes.data() + filled, limit - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileReadFailure::kReadError;
    }
    if (count == 0) return filled;
    filled += static_cast<std::size_t>(count);
    // The size announced, and no more in the same read: the file as it stood when it was opened.
    // Asking again only to hear of its end would cost every query another system call.
    if (filled == announced) return filled;
  }
  return filled > sizeCap ? FileReadFailure::kLargerThanCap : FileReadFailure::kChangedWhileRead;
}

std::variant<std::string, FileReadFailure> ReadRegularFileToString(const char* path,
                                                                   std::size_t sizeCap) {
  StringRoom room;
  const std::variant<std::size_t, FileReadFailure> read = ReadRegularFile(path, sizeCap, room);
  if (const FileReadFailure* failure = std::get_if<FileReadFailure>(&read)) return *failure;
  // get_if rather than get: the device's C++ library has no bad_variant_access before iOS 11.
  room.bytes.resize(*std::get_if<std::size_t>(&read));
  return std::move(room.bytes);
}

}  // namespace umbravista
