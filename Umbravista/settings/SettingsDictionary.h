#pragma once

#include <plist/plist.h>

#include <cstddef>
#include <string_view>

namespace umbravista {

// The user's settings as one property-list dictionary, owned by this object and freed with it.
//
// A value is "no settings" when its source did not give a dictionary at the root: a missing or
// unreadable file, bytes that are not a property list (garbage, empty input, a truncated file),
// or a property list whose root is an array, string or any other kind. No settings behaves as a
// dictionary in which every key is absent. Movable, not copyable, since it owns the libplist tree.
class SettingsDictionary {
 public:
  // Where the settings live on the device. The file is read afresh by every ReadFromDevice(), so
  // a change made by the preferences pane shows at the next query without a restart.
  static constexpr const char* kDevicePath =
      "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";

  // The largest settings file that is parsed. The real file holds a handful of short strings and
  // is well under a kilobyte; a file past this size is not something the preferences pane wrote,
  // and reading it whole would cost the host app memory and time, so it reads as no settings.
  static constexpr std::size_t kSizeCap = std::size_t{1} << 20;

  // Parses XML or binary property-list bytes. Answers the dictionary when the root is one (an
  // empty dictionary included), and no settings for anything else.
  [[nodiscard]] static SettingsDictionary Parse(std::string_view bytes);

  // Reads kDevicePath through ReadDeviceFile with kSizeCap and parses it. Answers no settings
  // when the file is missing, not a regular file, larger than kSizeCap, or does not parse as a
  // dictionary.
  [[nodiscard]] static SettingsDictionary ReadFromDevice();

  // Creates no settings.
  SettingsDictionary() = default;
  SettingsDictionary(SettingsDictionary&& other) noexcept;
  SettingsDictionary& operator=(SettingsDictionary&& other) noexcept;
  SettingsDictionary(const SettingsDictionary&) = delete;
  SettingsDictionary& operator=(const SettingsDictionary&) = delete;
  ~SettingsDictionary();

  // Answers the value stored under key, compared case-sensitively ("Enabled" is not "enabled").
  // Answers nullptr when the key is absent, when key is null, and when there are no settings.
  // The node stays owned by this dictionary: it is valid only while this object lives and must
  // not be freed by the caller.
  [[nodiscard]] plist_t ValueForKey(const char* key) const;

  // Answers whether the source gave a dictionary root, even an empty one.
  [[nodiscard]] bool HasSettings() const { return root_ != nullptr; }

 private:
  explicit SettingsDictionary(plist_t dictionaryRoot) : root_(dictionaryRoot) {}

  plist_t root_ = nullptr;  // A PLIST_DICT node, or nullptr for no settings.
};

}  // namespace umbravista
