#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>

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

int OpenForReading(const std::string& hostPath) {
  // O_NONBLOCK keeps open() of a FIFO without a writer from waiting; O_NOCTTY keeps a terminal
  // from becoming the host's controlling terminal; O_CLOEXEC keeps the descriptor out of children.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int descriptor = -1;
  do {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    descriptor = ::open(hostPath.c_str(), kFlags);
  } while (descriptor < 0 && errno == EINTR);
  return descriptor;
}

// One more than the cap, so that a file which grew past the cap is seen as too large rather than
// silently cut; saturates so that a cap of SIZE_MAX does not wrap to zero.
std::size_t ReadLimitForCap(std::size_t sizeCap) {
  return sizeCap == std::numeric_limits<std::size_t>::max() ? sizeCap : sizeCap + 1;
}

}  // namespace

std::optional<std::string> ReadDeviceFile(const char* devicePath, std::size_t sizeCap) {
  if (devicePath == nullptr) return std::nullopt;
  const OpenDescriptor file(OpenForReading(HostPathForDevicePath(devicePath)));
  if (file.Get() < 0) return std::nullopt;

  // The type is judged on the open descriptor, not the path, so a file swapped in after the check
  // cannot slip through, and a symbolic link to a device is judged by what it reaches.
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > sizeCap) {
    return std::nullopt;
  }

  const std::size_t readLimit = ReadLimitForCap(sizeCap);
  // Room for the announced size plus one byte, so that the usual unchanged file is read into a
  // buffer that is never reallocated and its end is confirmed by a single read of zero bytes.
  std::string contents(std::min(static_cast<std::size_t>(status.st_size) + 1, readLimit), '\0');
  std::size_t filled = 0;
  while (true) {
    if (filled == contents.size()) {
      if (contents.size() == readLimit) return std::nullopt;  // Grew past the cap while reading.
      contents.resize(std::min(contents.size() * 2, readLimit));
    }
    const ssize_t count = ::read(file.Get(), &contents[filled], contents.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  contents.resize(filled);
  return contents;
}

}  // namespace umbravista
