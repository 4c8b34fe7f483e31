#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/SettingsDictionary.h"
#include "settings/ThemeGate.h"

namespace umbravista {
namespace {

enum class PlistFormat { kXml, kBinary };

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
  char* bytes = nullptr;
  uint32_t length = 0;
  if (format == PlistFormat::kXml) {
    plist_to_xml(dictionary, &bytes, &length);
  } else {
    plist_to_bin(dictionary, &bytes, &length);
  }
  std::string result(bytes, length);
  format == PlistFormat::kXml ? plist_to_xml_free(bytes) : plist_to_bin_free(bytes);
  plist_free(dictionary);
  return result;
}

// A simulated device holding the settings file for the length of one benchmark.
class SimulatedDevice {
 public:
  explicit SimulatedDevice(PlistFormat format) {
    std::string pattern = (std::filesystem::temp_directory_path() / "umbravista-bench-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    settingsPath_ = root_.string() + SettingsDictionary::kDevicePath;
    std::filesystem::create_directories(settingsPath_.parent_path());
    const std::string bytes = AllNineKeys(format);
    std::ofstream(settingsPath_, std::ios::binary)
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

  [[nodiscard]] const std::filesystem::path& SettingsPath() const { return settingsPath_; }

 private:
  std::filesystem::path root_;
  std::filesystem::path settingsPath_;
};

// The floor: the cost of the file system alone, with no checks and no parsing.
void BareOpenReadClose(benchmark::State& state, PlistFormat format) {
  const SimulatedDevice device(format);
  const std::string path = device.SettingsPath().string();
  std::array<char, 4096> buffer{};
  for (auto _ : state) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t total = 0;
    for (ssize_t count = 0; (count = ::read(descriptor, buffer.data(), buffer.size())) > 0;) {
      total += count;
    }
    ::close(descriptor);
    benchmark::DoNotOptimize(total);
  }
}

// One colour lookup: what every themed view pays to learn a colour.
void ColourLookup(benchmark::State& state, PlistFormat format) {
  const SimulatedDevice device(format);
  for (auto _ : state) {
    const SettingsDictionary settings = SettingsDictionary::ReadFromDevice();
    benchmark::DoNotOptimize(settings.ValueForKey("MainBGColor"));
  }
}

// The master switch with "enabled" present, so it reads the file twice.
void MasterSwitch(benchmark::State& state, PlistFormat format) {
  const SimulatedDevice device(format);
  for (auto _ : state) benchmark::DoNotOptimize(ThemeGate());
}

BENCHMARK_CAPTURE(BareOpenReadClose, Xml, PlistFormat::kXml);
BENCHMARK_CAPTURE(BareOpenReadClose, Binary, PlistFormat::kBinary);
BENCHMARK_CAPTURE(ColourLookup, Xml, PlistFormat::kXml);
BENCHMARK_CAPTURE(ColourLookup, Binary, PlistFormat::kBinary);
BENCHMARK_CAPTURE(MasterSwitch, Xml, PlistFormat::kXml);
BENCHMARK_CAPTURE(MasterSwitch, Binary, PlistFormat::kBinary);

}  // namespace
}  // namespace umbravista

BENCHMARK_MAIN();
