// The settings queries against their floor, the bare open, fstat, read and close of the same file:
// the usual file in both forms, and files shaped to make the reader work hardest, at 16 KiB and at
// the size cap. Every query reads the whole file afresh, so the floor is what a query cannot go
// under; the ratios (scripts/bench.sh) are the reader's cost. Each benchmark also counts the heap
// allocations of one query (malloc, calloc and realloc, which operator new comes down to), and
// the reads of the file that one query makes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/HostileSettings.h"
#include "device/propertylist/PropertyListBytes.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/ThemeGate.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
}

namespace {
thread_local std::uint64_t allocations = 0;
}  // namespace

// The benchmark's own allocator entry points, so that every allocation of a query is counted.
extern "C" void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  ++allocations;
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* memory, std::size_t size) {
  ++allocations;
  return __libc_realloc(memory, size);
}

namespace umbravista {
namespace {

using PlistFormat = device::PropertyListFormat;

// The settings as the preferences pane writes them: the switch plus the eight colours.
std::string AllNineKeys(PlistFormat format) {
  plist_t dictionary = plist_new_dict();
  plist_dict_set_item(dictionary, "enabled", plist_new_bool(1));
  plist_dict_set_item(dictionary, "MainBGColor", plist_new_string("#101010"));
  plist_dict_set_item(dictionary, "Username", plist_new_string("#FF6400"));
  plist_dict_set_item(dictionary, "Link", plist_new_string("#3897F0"));
  plist_dict_set_item(dictionary, "Text", plist_new_string("#EEEEEE"));
  plist_dict_set_item(dictionary, "Separators", plist_new_string("#262626"));
  plist_dict_set_item(dictionary, "2text", plist_new_string("#999999"));
  plist_dict_set_item(dictionary, "Icon", plist_new_string("#FAFAFA"));
  plist_dict_set_item(dictionary, "heart", plist_new_string("#ED4956"));
  return device::PropertyListBytes(dictionary, format);
}

// A simulated device holding the settings file for the length of one benchmark. The device's
// file system, linked into this benchmark, maps the settings path under its root.
class SimulatedDevice {
 public:
  explicit SimulatedDevice(const std::string& bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "umbravista-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    const std::filesystem::path settingsPath = root_.string() + kSettingsPath;
    std::filesystem::create_directories(settingsPath.parent_path());
    std::ofstream(settingsPath, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    setenv("SIMULATED_DEVICE_ROOT", root_.c_str(), 1);
  }
  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;
  SimulatedDevice(SimulatedDevice&&) = delete;
  SimulatedDevice& operator=(SimulatedDevice&&) = delete;
  ~SimulatedDevice() {
    unsetenv("SIMULATED_DEVICE_ROOT");
    std::filesystem::remove_all(root_);
  }

 private:
  std::filesystem::path root_;
};

// Runs `query` once per iteration and reports its allocations and the reads it makes.
template <typename Query>
void Measure(benchmark::State& state, int reads, Query query) {
  const std::uint64_t before = allocations;
  for (auto _ : state) query();
  state.counters["allocations"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
  state.counters["reads"] = reads;
}

// The floor: the system calls that a read of the settings makes, open, fstat, one read of the
// whole file and close, through the same path and mapping, with no checks and no parsing.
void BareRead(benchmark::State& state, const std::string& bytes) {
  const SimulatedDevice device(bytes);
  static std::array<char, kSettingsSizeCap + 1> buffer{};
  Measure(state, 1, [&] {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    const int descriptor = ::open(kSettingsPath, O_RDONLY | O_CLOEXEC);
    struct stat status {};
    ::fstat(descriptor, &status);
    benchmark::DoNotOptimize(::read(descriptor, buffer.data(), buffer.size()));
    ::close(descriptor);
  });
}

// One colour lookup's read: what every themed view pays to learn a colour, less libcolorpicker.
void ColourLookup(benchmark::State& state, const std::string& bytes, const char* key) {
  const SimulatedDevice device(bytes);
  Measure(state, 1, [key] {
    SettingsRead read;
    benchmark::DoNotOptimize(read.LookUp(key));
  });
}

// The master switch: one read when "enabled" is absent, two when it is present.
void MasterSwitch(benchmark::State& state, const std::string& bytes) {
  const SimulatedDevice device(bytes);
  SettingsRead first;
  const int reads = first.LookUp(kEnabledKey, Decoding::kKind).value ? 2 : 1;
  Measure(state, reads, [] { benchmark::DoNotOptimize(ThemeGate()); });
}

// Registers the floor and the queries for the file `bytes`, named `file`: a colour lookup of
// `colour`, and the master switch when the file's load is in "enabled".
void RegisterFile(const std::string& file, const std::string& bytes, const char* colour,
                  bool masterSwitch) {
  // Beside the median, the least time of the repetitions: the one that the machine's neighbours
  // slowed least, which moves less from run to run.
  const auto withLeast = [](benchmark::internal::Benchmark* registered) {
    registered->ComputeStatistics("least", [](const std::vector<double>& times) {
      return *std::min_element(times.begin(), times.end());
    });
  };
  withLeast(benchmark::RegisterBenchmark(("BareRead/" + file).c_str(), BareRead, bytes));
  withLeast(
      benchmark::RegisterBenchmark(("ColourLookup/" + file).c_str(), ColourLookup, bytes, colour));
  if (masterSwitch) {
    withLeast(benchmark::RegisterBenchmark(("MasterSwitch/" + file).c_str(), MasterSwitch, bytes));
  }
}

}  // namespace
}  // namespace umbravista

int main(int argc, char** argv) {
  using umbravista::RegisterFile;
  benchmark::Initialize(&argc, argv);
  RegisterFile("usual/xml", umbravista::AllNineKeys(umbravista::PlistFormat::kXml), "MainBGColor",
               true);
  RegisterFile("usual/binary", umbravista::AllNineKeys(umbravista::PlistFormat::kBinary),
               "MainBGColor", true);
  for (const std::size_t size : {std::size_t{16} * 1024, umbravista::kSettingsSizeCap}) {
    const std::string sized = std::to_string(size / 1024) + "KiB/";
    for (const bench::HostileSettings& file : bench::HostileSettingsOfSize(size)) {
      RegisterFile(sized + file.name, file.bytes, umbravista::kText.key,
                   std::string_view(file.key) == umbravista::kEnabledKey);
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
