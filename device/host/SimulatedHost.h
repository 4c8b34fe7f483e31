#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "device/substrate/HookRecord.h"

// The simulated host application on the simulated device. It does what the device and the loader
// do for a real host: starts the runtime, registers the platform's classes and the host's own,
// maps the device's file system under a root directory of its own, and then loads the library
// with dlopen, which runs the library's module initialiser.
namespace device {

// Where on the device the library's settings file lies: the only path it may open.
inline constexpr const char* kSettingsDevicePath =
    "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";

// Every option has an initialiser, so that a host may name only the options it sets.
struct HostOptions {
  // Classes that this system or host lacks (platform or host classes); their subclasses are
  // missing too.
  std::vector<std::string> missingClasses = {};
  // Methods of the host's own classes that this version of the host lacks, written as the
  // platform names them: "+[IGColors IGRichTextFormat]" for a class method, "-[Class selector]"
  // for an instance method. Naming a method that the host does not define is an error.
  std::vector<std::string> missingMethods = {};
  // The library to load; empty means the library that this build made.
  std::string libraryPath = {};
  // The version of the simulated system, "major.minor.patch" with missing parts 0 ("13" is
  // 13.0.0), as NSProcessInfo answers it. Empty leaves the environment as it is, and so the
  // default, 12.4.0, unless the process was started with SIMULATED_SYSTEM_VERSION set. The system
  // reads its version once per process, so only the first host of a process can choose it.
  std::string systemVersion = {};
};

class SimulatedHost {
 public:
  // Raises std::invalid_argument when options.systemVersion is not empty and is no version, and
  // std::logic_error when this process's system has already answered a different version.
  explicit SimulatedHost(HostOptions options = {});
  // Removes the device root and everything under it. The library stays loaded: nothing is ever
  // uninstalled, as on the device.
  ~SimulatedHost();
  SimulatedHost(const SimulatedHost&) = delete;
  SimulatedHost& operator=(const SimulatedHost&) = delete;

  // Starts the runtime and registers Foundation, QuartzCore, UIKit and the host's classes, less
  // the missing ones. Once per process.
  void RegisterClasses();

  // Loads the library as the loader would. Raises std::runtime_error when it cannot be loaded.
  void LoadLibrary();

  // RegisterClasses, then LoadLibrary.
  void Launch();

  // The directory that stands for the device's "/".
  [[nodiscard]] const std::filesystem::path& DeviceRoot() const { return deviceRoot_; }

  // Where the device path `devicePath` lies on this machine.
  [[nodiscard]] std::filesystem::path HostPathOf(const std::string& devicePath) const;

  // Where the library's settings file lies on this machine.
  [[nodiscard]] std::filesystem::path SettingsPath() const;

 private:
  HostOptions options_;
  std::filesystem::path deviceRoot_;
};

// The path of the library that this build made.
std::string BuiltLibraryPath();

}  // namespace device
