#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "device/propertylist/PropertyListBytes.h"
#include "settings/SettingsFile.h"

namespace umbravista {

// A dictionary holding value (taken over) under key.
inline plist_t DictionaryWith(const char* key, plist_t value) {
  plist_t dictionary = plist_new_dict();
  plist_dict_set_item(dictionary, key, value);
  return dictionary;
}

// Gives each test a fresh simulated device: a new temporary directory named by
// SIMULATED_DEVICE_ROOT, holding the preferences directory, removed again after the test. The
// device's file system (linked into the test) maps the library's opens of "/var/mobile/..." there.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "umbravista-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    deviceRoot_ = pattern;
    std::filesystem::create_directories(SettingsPath().parent_path());
    ASSERT_EQ(setenv("SIMULATED_DEVICE_ROOT", deviceRoot_.c_str(), 1), 0);
  }

  void TearDown() override {
    unsetenv("SIMULATED_DEVICE_ROOT");
    std::filesystem::remove_all(deviceRoot_);
  }

  [[nodiscard]] std::filesystem::path SettingsPath() const {
    return DevicePathOnHost(kSettingsPath);
  }

  [[nodiscard]] std::filesystem::path DevicePathOnHost(const char* devicePath) const {
    return deviceRoot_.string() + devicePath;
  }

  void WriteSettingsBytes(std::string_view bytes) const {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // Replaces whatever is at the settings path, such as a FIFO or a directory, with nothing.
  void RemoveSettings() const { std::filesystem::remove_all(SettingsPath()); }

 private:
  std::filesystem::path deviceRoot_;
};

}  // namespace umbravista
