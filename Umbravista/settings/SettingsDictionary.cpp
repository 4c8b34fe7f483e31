#include "settings/SettingsDictionary.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace umbravista {

SettingsDictionary SettingsDictionary::Parse(std::string_view bytes) {
  // libplist takes a 32-bit length; such a size is far past any cap and could only be cut short.
  if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) return {};
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  if (root == nullptr) return {};
  if (plist_get_node_type(root) != PLIST_DICT) {
    plist_free(root);
    return {};
  }
  return SettingsDictionary(root);
}

SettingsDictionary SettingsDictionary::ReadFromDevice() {
  const std::optional<std::string> bytes = ReadDeviceFile(kDevicePath, kSizeCap);
  if (!bytes) return {};
  return Parse(*bytes);
}

SettingsDictionary::SettingsDictionary(SettingsDictionary&& other) noexcept
    : root_(std::exchange(other.root_, nullptr)) {}

SettingsDictionary& SettingsDictionary::operator=(SettingsDictionary&& other) noexcept {
  if (this != &other) {
    if (root_ != nullptr) plist_free(root_);
    root_ = std::exchange(other.root_, nullptr);
  }
  return *this;
}

SettingsDictionary::~SettingsDictionary() {
  if (root_ != nullptr) plist_free(root_);
}

plist_t SettingsDictionary::ValueForKey(const char* key) const {
  if (root_ == nullptr || key == nullptr) return nullptr;
  return plist_dict_get_item(root_, key);
}

}  // namespace umbravista
