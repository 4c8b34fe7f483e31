#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "device/propertylist/PropertyListBytes.h"

// Writes settings files as the settings pane of the device would, with libplist, so that hosts
// and tests can give the library the settings of their choice.
namespace device {

using SettingValue = std::variant<bool, long long, double, std::string>;
using SettingEntries = std::vector<std::pair<std::string, SettingValue>>;

// Writes a property list whose root is a dictionary of `entries` to `path`, replacing the file.
void WriteSettingsFile(const std::filesystem::path& path, const SettingEntries& entries,
                       PropertyListFormat format = PropertyListFormat::kXml);

// Writes `bytes` to `path` as they are, replacing the file.
void WriteRawFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace device
