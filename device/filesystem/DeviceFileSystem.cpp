#include "device/filesystem/DeviceFileSystem.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace device {
namespace {

constexpr const char* kDeviceRootVariable = "SIMULATED_DEVICE_ROOT";
constexpr std::string_view kDevicePrefix = "/var/mobile/";

// --- The record of device paths opened: a fixed table, so that counting never allocates.

constexpr std::size_t kRecordedPaths = 32;
constexpr std::size_t kLongestRecordedPath = 255;

struct PathRecord {
  std::array<char, kLongestRecordedPath + 1> path{};
  std::atomic<std::uint64_t> opens{0};
  std::atomic<std::uint64_t> opensForWriting{0};
};

struct OpenRecord {
  std::array<PathRecord, kRecordedPaths> paths;
  std::atomic<std::size_t> used{0};
  std::mutex adding;  // Taken only to add a path never seen before.

  struct Observer {
    std::atomic<OpenObserver> function{nullptr};
    std::atomic<void*> context{nullptr};
  };
  std::array<Observer, 4> observers;
  std::mutex observing;  // Taken only to add or remove an observer.

  std::atomic<bool> recordingAll{false};
  std::mutex recordedLock;
  std::vector<std::string> recorded;
};

// Never destroyed: opens may come from static destructors at exit.
OpenRecord& Record() {
  static auto* record = new OpenRecord;
  return *record;
}

PathRecord* Find(OpenRecord& record, std::string_view path) {
  const std::size_t used = record.used.load(std::memory_order_acquire);
  for (std::size_t i = 0; i < used; ++i) {
    if (std::string_view(record.paths[i].path.data()) == path) return &record.paths[i];
  }
  return nullptr;
}

PathRecord* FindOrAdd(OpenRecord& record, std::string_view path) {
  if (PathRecord* found = Find(record, path)) return found;
  if (path.size() > kLongestRecordedPath) return nullptr;
  const std::lock_guard<std::mutex> lock(record.adding);
  if (PathRecord* found = Find(record, path)) return found;
  const std::size_t used = record.used.load(std::memory_order_relaxed);
  if (used == kRecordedPaths) return nullptr;
  std::memcpy(record.paths[used].path.data(), path.data(), path.size());
  record.paths[used].path[path.size()] = '\0';
  record.used.store(used + 1, std::memory_order_release);
  return &record.paths[used];
}

bool AsksForMoreThanReading(int flags) {
  return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC | O_APPEND)) != 0;
}

void Note(const char* path, int flags) {
  if (path == nullptr) return;
  OpenRecord& record = Record();
  if (record.recordingAll.load(std::memory_order_relaxed)) {
    const std::lock_guard<std::mutex> lock(record.recordedLock);
    if (record.recordingAll.load(std::memory_order_relaxed)) record.recorded.emplace_back(path);
  }
  if (!std::string_view(path).starts_with(kDevicePrefix)) return;
  for (OpenRecord::Observer& observer : record.observers) {
    if (const OpenObserver function = observer.function.load(std::memory_order_acquire)) {
      function(path, flags, observer.context.load(std::memory_order_acquire));
    }
  }
  if (PathRecord* entry = FindOrAdd(record, path)) {
    entry->opens.fetch_add(1, std::memory_order_relaxed);
    if (AsksForMoreThanReading(flags))
      entry->opensForWriting.fetch_add(1, std::memory_order_relaxed);
  }
}

// The path to hand the C library: a device path under the device root, in `room`.
const char* Mapped(const char* path, std::array<char, PATH_MAX>& room) {
  if (path == nullptr || !std::string_view(path).starts_with(kDevicePrefix)) return path;
  const char* root = std::getenv(kDeviceRootVariable);
  if (root == nullptr || *root == '\0') return path;
  const std::size_t rootLength = std::strlen(root);
  const std::size_t pathLength = std::strlen(path);
  if (rootLength + pathLength + 1 > room.size()) return path;
  std::memcpy(room.data(), root, rootLength);
  std::memcpy(room.data() + rootLength, path, pathLength + 1);
  return room.data();
}

template <typename Function>
Function* Next(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

// Every caller has started the list; the analyser cannot see through the parameter.
mode_t ModeOf(int flags, va_list arguments) {
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    return static_cast<mode_t>(va_arg(arguments, int));
  }
  return 0;
}

using OpenFunction = int(const char*, int, ...);
using OpenAtFunction = int(int, const char*, int, ...);
using FortifiedOpenFunction = int(const char*, int);
using FortifiedOpenAtFunction = int(int, const char*, int);

int OpenThrough(OpenFunction* real, const char* path, int flags, mode_t mode) {
  Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(Mapped(path, room), flags, mode);
}

int OpenAtThrough(OpenAtFunction* real, int directory, const char* path, int flags, mode_t mode) {
  Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(directory, Mapped(path, room), flags, mode);
}

}  // namespace

std::string DeviceRootDirectory() {
  const char* root = std::getenv(kDeviceRootVariable);
  return root == nullptr ? std::string() : std::string(root);
}

std::uint64_t OpensOf(const std::string& devicePath) {
  PathRecord* entry = Find(Record(), devicePath);
  return entry == nullptr ? 0 : entry->opens.load(std::memory_order_relaxed);
}

std::uint64_t OpensForWritingOf(const std::string& devicePath) {
  PathRecord* entry = Find(Record(), devicePath);
  return entry == nullptr ? 0 : entry->opensForWriting.load(std::memory_order_relaxed);
}

void ResetOpenRecord() {
  OpenRecord& record = Record();
  const std::size_t used = record.used.load(std::memory_order_acquire);
  for (std::size_t i = 0; i < used; ++i) {
    record.paths[i].opens.store(0, std::memory_order_relaxed);
    record.paths[i].opensForWriting.store(0, std::memory_order_relaxed);
  }
}

void AddOpenObserver(OpenObserver observer, void* context) {
  OpenRecord& record = Record();
  const std::lock_guard<std::mutex> lock(record.observing);
  OpenRecord::Observer* free = nullptr;
  for (OpenRecord::Observer& slot : record.observers) {
    const OpenObserver present = slot.function.load(std::memory_order_relaxed);
    if (present == observer) {
      slot.context.store(context, std::memory_order_release);
      return;
    }
    if (present == nullptr && free == nullptr) free = &slot;
  }
  if (free == nullptr) std::abort();  // More observers than a test has any need for.
  free->context.store(context, std::memory_order_release);
  free->function.store(observer, std::memory_order_release);
}

void RemoveOpenObserver(OpenObserver observer) {
  OpenRecord& record = Record();
  const std::lock_guard<std::mutex> lock(record.observing);
  for (OpenRecord::Observer& slot : record.observers) {
    if (slot.function.load(std::memory_order_relaxed) == observer) {
      slot.function.store(nullptr, std::memory_order_release);
    }
  }
}

void StartRecordingOpens() {
  OpenRecord& record = Record();
  const std::lock_guard<std::mutex> lock(record.recordedLock);
  record.recorded.clear();
  record.recordingAll.store(true, std::memory_order_relaxed);
}

std::vector<std::string> StopRecordingOpens() {
  OpenRecord& record = Record();
  const std::lock_guard<std::mutex> lock(record.recordedLock);
  record.recordingAll.store(false, std::memory_order_relaxed);
  return std::move(record.recorded);
}

}  // namespace device

// The C library's open functions, each passed through the device's file system. The fortified
// forms are the ones a build with _FORTIFY_SOURCE calls.
extern "C" {

__attribute__((visibility("default"))) int open(const char* path, int flags, ...) {
  static auto* real = device::Next<device::OpenFunction>("open");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = device::ModeOf(flags, arguments);
  va_end(arguments);
  return device::OpenThrough(real, path, flags, mode);
}

__attribute__((visibility("default"))) int open64(const char* path, int flags, ...) {
  static auto* real = device::Next<device::OpenFunction>("open64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = device::ModeOf(flags, arguments);
  va_end(arguments);
  return device::OpenThrough(real, path, flags, mode);
}

__attribute__((visibility("default"))) int openat(int directory, const char* path, int flags, ...) {
  static auto* real = device::Next<device::OpenAtFunction>("openat");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = device::ModeOf(flags, arguments);
  va_end(arguments);
  return device::OpenAtThrough(real, directory, path, flags, mode);
}

__attribute__((visibility("default"))) int openat64(int directory, const char* path, int flags,
                                                    ...) {
  static auto* real = device::Next<device::OpenAtFunction>("openat64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = device::ModeOf(flags, arguments);
  va_end(arguments);
  return device::OpenAtThrough(real, directory, path, flags, mode);
}

__attribute__((visibility("default"))) int __open_2(const char* path, int flags) {
  static auto* real = device::Next<device::FortifiedOpenFunction>("__open_2");
  device::Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(device::Mapped(path, room), flags);
}

__attribute__((visibility("default"))) int __open64_2(const char* path, int flags) {
  static auto* real = device::Next<device::FortifiedOpenFunction>("__open64_2");
  device::Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(device::Mapped(path, room), flags);
}

__attribute__((visibility("default"))) int __openat_2(int directory, const char* path, int flags) {
  static auto* real = device::Next<device::FortifiedOpenAtFunction>("__openat_2");
  device::Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(directory, device::Mapped(path, room), flags);
}

__attribute__((visibility("default"))) int __openat64_2(int directory, const char* path,
                                                        int flags) {
  static auto* real = device::Next<device::FortifiedOpenAtFunction>("__openat64_2");
  device::Note(path, flags);
  std::array<char, PATH_MAX> room;
  return real(directory, device::Mapped(path, room), flags);
}

}  // extern "C"
