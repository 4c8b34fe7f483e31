#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace umbravista {

namespace {

constexpr const char* kSimulatedDeviceRootVariable = "SIMULATED_DEVICE_ROOT";

std::string HostPathForDevicePath(const char* devicePath) {
  const char* simulatedRoot = std::getenv(kSimulatedDeviceRootVariable);
  if (simulatedRoot == nullptr || *simulatedRoot == '\0') return devicePath;
  return std::string(simulatedRoot) + devicePath;
}

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

int OpenForReading(const char* hostPath) {
  // O_NONBLOCK keeps open() of a FIFO without a writer from waiting; O_NOCTTY keeps a terminal
  // from becoming the host's controlling terminal; O_CLOEXEC keeps the descriptor out of children.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int descriptor = -1;
  do {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    descriptor = ::open(hostPath, kFlags);
  } while (descriptor < 0 && errno == EINTR);
  return descriptor;
}

// One more than the cap, so that a file which grew past the cap is seen as too large rather than
// silently cut; saturates so that a cap of SIZE_MAX does not wrap to zero.
std::size_t ReadLimitForCap(std::size_t sizeCap) {
  return sizeCap == std::numeric_limits<std::size_t>::max() ? sizeCap : sizeCap + 1;
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

}  // namespace

std::variant<std::string, FileReadFailure> ReadRegularFile(const char* hostPath,
                                                           std::size_t sizeCap) {
  if (hostPath == nullptr) return FileReadFailure::kNoPath;
  const OpenDescriptor file(OpenForReading(hostPath));
  if (file.Get() < 0) return FailureToOpen(errno);

  // The type is judged on the open descriptor, not the path, so a file swapped in after the check
  // cannot slip through, and a symbolic link to a device is judged by what it reaches.
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) return FileReadFailure::kReadError;
  if (!S_ISREG(status.st_mode)) return FileReadFailure::kNotRegularFile;
  if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > sizeCap) {
    return FileReadFailure::kLargerThanCap;
  }

  const std::size_t readLimit = ReadLimitForCap(sizeCap);
  // Room for the announced size plus one byte, so that the usual unchanged file is read into a
  // buffer that is never reallocated and its end is confirmed by a single read of zero bytes.
  std::string contents(std::min(static_cast<std::size_t>(status.st_size) + 1, readLimit), '\0');
  std::size_t filled = 0;
  while (true) {
    if (filled == contents.size()) {
      // Grew past the cap while reading.
      if (contents.size() == readLimit) return FileReadFailure::kLargerThanCap;
      contents.resize(std::min(contents.size() * 2, readLimit));
    }
    const ssize_t count = ::read(file.Get(), &contents[filled], contents.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      return FileReadFailure::kReadError;
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  contents.resize(filled);
  return contents;
}

std::optional<std::string> ReadDeviceFile(const char* devicePath, std::size_t sizeCap) {
  if (devicePath == nullptr) return std::nullopt;
  std::variant<std::string, FileReadFailure> read =
      ReadRegularFile(HostPathForDevicePath(devicePath).c_str(), sizeCap);
  if (std::string* contents = std::get_if<std::string>(&read)) return std::move(*contents);
  return std::nullopt;
}

}  // namespace umbravista
