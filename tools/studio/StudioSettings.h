#pragma once

#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "device/host/SettingsWriter.h"

// The settings that the studio edits: the eight colour settings and the master switch, each
// present or absent, as a settings file holds them.
namespace studio {

struct ColourField {
  std::string_view key;
  std::string_view label;  // What the colour paints, for a person.
};

// The colour settings, in the order in which the library's key table lists them.
inline constexpr std::array<ColourField, 8> kColourFields = {{
    {"MainBGColor", "Main background"},
    {"Username", "User names"},
    {"Link", "Links"},
    {"Text", "Text"},
    {"Separators", "Pale text and highlights"},
    {"2text", "Secondary text"},
    {"Icon", "Icons"},
    {"heart", "Hearts"},
}};

struct StudioSettings {
  std::map<std::string, std::string, std::less<>> colours;  // Present colour keys only.
  std::optional<bool> enabled;                              // Absent: the theme counts it on.

  bool operator==(const StudioSettings&) const = default;
};

// A request that the studio refuses; `key` names the setting it concerns, or is empty.
class BadRequest : public std::runtime_error {
 public:
  BadRequest(const std::string& message, std::string key = {})
      : std::runtime_error(message), key_(std::move(key)) {}
  [[nodiscard]] const std::string& Key() const { return key_; }

 private:
  std::string key_;
};

// The longest colour string accepted; every form of the grammar is far shorter.
inline constexpr std::size_t kLongestColourString = 32;

// Answers whether key is the key of one of kColourFields.
[[nodiscard]] bool IsColourKey(std::string_view key);

// Raises BadRequest, naming key, unless text is a colour string that libcolorpicker reads (see
// device/sdk/libcolorpicker.h) of at most kLongestColourString bytes. The message says why, in
// the checker's words ("bad digit 'G'", "4 digits, where a colour has 3, 6 or 8").
void RequireColourString(std::string_view key, std::string_view text);

// The settings as the bytes of a property-list file whose root is a dictionary of the present
// keys in the order of the library's key table ("enabled" first), written by libplist as the
// device's preferences would be. An empty dictionary when nothing is present.
[[nodiscard]] std::string SettingsFileBytes(const StudioSettings& settings,
                                            device::PropertyListFormat format);

}  // namespace studio
