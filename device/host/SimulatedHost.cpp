#include "device/host/SimulatedHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/runtime/Runtime.h"

namespace device {
namespace {

constexpr const char* kDeviceRootVariable = "SIMULATED_DEVICE_ROOT";

std::filesystem::path MakeDeviceRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "simulated-device.XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a directory for the simulated device");
  }
  std::filesystem::path root(pattern);
  std::filesystem::create_directories(root / "var/mobile/Library/Preferences");
  return root;
}

// The system version goes into the environment, where NSProcessInfo reads it at its first use.
// That reading holds for the rest of the process, so a host asking for another version after it
// would silently get the old one; it fails instead.
void SetSystemVersion(const std::string& text) {
  if (text.empty()) return;
  const std::optional<NSOperatingSystemVersion> wanted = ParseSystemVersion(text);
  if (!wanted) throw std::invalid_argument("no system version: \"" + text + "\"");
  const std::optional<NSOperatingSystemVersion> answered = SystemVersionAnswered();
  if (answered && (answered->majorVersion != wanted->majorVersion ||
                   answered->minorVersion != wanted->minorVersion ||
                   answered->patchVersion != wanted->patchVersion)) {
    throw std::logic_error("the system has already answered another version than " + text);
  }
  setenv(kSystemVersionVariable, text.c_str(), 1);
}

}  // namespace

SimulatedHost::SimulatedHost(HostOptions options)
    : options_(std::move(options)), deviceRoot_(MakeDeviceRoot()) {
  setenv(kDeviceRootVariable, deviceRoot_.c_str(), 1);
  try {
    SetSystemVersion(options_.systemVersion);
  } catch (...) {
    // The destructor does not run for a host that was never made.
    std::error_code ignored;
    std::filesystem::remove_all(deviceRoot_, ignored);
    throw;
  }
}

SimulatedHost::~SimulatedHost() {
  std::error_code ignored;
  std::filesystem::remove_all(deviceRoot_, ignored);
}

void SimulatedHost::RegisterClasses() {
  StartRuntime();
  for (const std::string& name : options_.missingClasses) OmitClass(name);
  RegisterFoundation();
  RegisterQuartzCore();
  RegisterUIKit();
  RegisterHostClasses(options_.missingMethods);
}

void SimulatedHost::LoadLibrary() {
  const std::string path = options_.libraryPath.empty() ? BuiltLibraryPath() : options_.libraryPath;
  if (dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL) == nullptr) {
    throw std::runtime_error(std::string("cannot load the library: ") + dlerror());
  }
}

void SimulatedHost::Launch() {
  RegisterClasses();
  LoadLibrary();
}

std::filesystem::path SimulatedHost::HostPathOf(const std::string& devicePath) const {
  return deviceRoot_ / std::filesystem::path(devicePath).relative_path();
}

std::filesystem::path SimulatedHost::SettingsPath() const {
  return HostPathOf(kSettingsDevicePath);
}

std::string BuiltLibraryPath() {
  return UMBRAVISTA_LIBRARY_PATH;
}

}  // namespace device
