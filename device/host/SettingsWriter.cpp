#include "device/host/SettingsWriter.h"

#include <plist/plist.h>

#include <fstream>
#include <stdexcept>

namespace device {
namespace {

plist_t NodeOf(const SettingValue& value) {
  return std::visit(
      [](const auto& v) -> plist_t {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return plist_new_bool(v ? 1 : 0);
        } else if constexpr (std::is_same_v<T, long long>) {
          return plist_new_uint(static_cast<uint64_t>(v));
        } else if constexpr (std::is_same_v<T, double>) {
          return plist_new_real(v);
        } else {
          return plist_new_string(v.c_str());
        }
      },
      value);
}

}  // namespace

void WriteSettingsFile(const std::filesystem::path& path, const SettingEntries& entries,
                       PropertyListFormat format) {
  plist_t root = plist_new_dict();
  for (const auto& [key, value] : entries) plist_dict_set_item(root, key.c_str(), NodeOf(value));
  WriteRawFile(path, PropertyListBytes(root, format));
}

void WriteRawFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace device
