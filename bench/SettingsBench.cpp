// The settings queries against their floor, the bare open, read and close of the same file, in
// both forms. Every query reads the whole file afresh, so the floor is what a query cannot go
// under; the ratios are the reader's cost. Each benchmark also counts the heap allocations of one
// query (malloc, calloc and realloc, which operator new comes down to).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "device/propertylist/BinaryPlistBuilder.h"
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

// The settings as the preferences pane writes them: the switch plus the eight colours, and
// `padding` bytes more under a key of no meaning, for files larger than the reader's own room.
std::string AllNineKeys(PlistFormat format, std::size_t padding = 0) {
  plist_t dictionary = plist_new_dict();
  if (padding > 0) {
    plist_dict_set_item(dictionary, "padding", plist_new_string(std::string(padding, 'x').c_str()));
  }
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

// Runs `query` once per iteration and reports its allocations per query.
template <typename Query>
void Measure(benchmark::State& state, Query query) {
  const std::uint64_t before = allocations;
  for (auto _ : state) query();
  state.counters["allocations"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
}

// The floor: the file system alone, through the same path and mapping, with no checks and no
// parsing.
void BareOpenReadClose(benchmark::State& state, const std::string& bytes) {
  const SimulatedDevice device(bytes);
  std::array<char, 4096> buffer{};
  Measure(state, [&] {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    const int descriptor = ::open(kSettingsPath, O_RDONLY | O_CLOEXEC);
    ssize_t total = 0;
    for (ssize_t count = 0; (count = ::read(descriptor, buffer.data(), buffer.size())) > 0;) {
      total += count;
    }
    ::close(descriptor);
    benchmark::DoNotOptimize(total);
  });
}

// One colour lookup's read: what every themed view pays to learn a colour, less libcolorpicker.
void ColourLookup(benchmark::State& state, const std::string& bytes) {
  const SimulatedDevice device(bytes);
  Measure(state, [] {
    SettingsRead read;
    benchmark::DoNotOptimize(read.LookUp(kMainBackground.key));
  });
}

// A colour lookup in a file of 64 KiB: one allocation, for the file.
// A binary file whose arrays share one object over and over beside the settings: a few hundred
// bytes whose tree has 2^40 nodes, which the reader must check in time linear in the file.
std::string SharedReferences() {
  device::BinaryPlistBuilder builder;
  device::BinaryPlistBuilder::Index next = builder.Ascii("leaf");
  for (int level = 0; level < 40; ++level) next = builder.Array({next, next});
  return builder.Build(builder.Dictionary(
      {{builder.Ascii("junk"), next}, {builder.Ascii("MainBGColor"), builder.Ascii("#101010")}}));
}

// The master switch with "enabled" present, so it reads the file twice.
void MasterSwitch(benchmark::State& state, const std::string& bytes) {
  const SimulatedDevice device(bytes);
  Measure(state, [] { benchmark::DoNotOptimize(ThemeGate()); });
}

BENCHMARK_CAPTURE(BareOpenReadClose, Xml, AllNineKeys(PlistFormat::kXml));
BENCHMARK_CAPTURE(ColourLookup, Xml, AllNineKeys(PlistFormat::kXml));
BENCHMARK_CAPTURE(MasterSwitch, Xml, AllNineKeys(PlistFormat::kXml));
BENCHMARK_CAPTURE(BareOpenReadClose, Binary, AllNineKeys(PlistFormat::kBinary));
BENCHMARK_CAPTURE(ColourLookup, Binary, AllNineKeys(PlistFormat::kBinary));
BENCHMARK_CAPTURE(MasterSwitch, Binary, AllNineKeys(PlistFormat::kBinary));
// One allocation, for the file, in a file of 64 KiB.
BENCHMARK_CAPTURE(BareOpenReadClose, LargeXml, AllNineKeys(PlistFormat::kXml, 64 * 1024));
BENCHMARK_CAPTURE(ColourLookup, LargeXml, AllNineKeys(PlistFormat::kXml, 64 * 1024));
BENCHMARK_CAPTURE(BareOpenReadClose, LargeBinary, AllNineKeys(PlistFormat::kBinary, 64 * 1024));
BENCHMARK_CAPTURE(ColourLookup, LargeBinary, AllNineKeys(PlistFormat::kBinary, 64 * 1024));
BENCHMARK_CAPTURE(BareOpenReadClose, SharedReferences, SharedReferences());
BENCHMARK_CAPTURE(ColourLookup, SharedReferences, SharedReferences());

}  // namespace
}  // namespace umbravista

BENCHMARK_MAIN();
