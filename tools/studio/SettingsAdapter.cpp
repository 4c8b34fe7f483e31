#include "tools/studio/SettingsAdapter.h"

#include <plist/plist.h>

#include <cstdlib>

#include "settings/SettingsDictionary.h"
#include "settings/ThemeGate.h"
#include "tools/check/SettingsCheck.h"
#include "tools/check/ValueDescription.h"

namespace studio {
namespace {

// A colour string past this length is no colour and would only clutter the page's field.
constexpr std::size_t kLongestKeptString = 256;

constexpr std::string_view kSource = "the file";

std::string WhyNoSettings(const std::vector<std::string>& lines) {
  // The checker's one line reads: error: "the file" cannot be read as settings: <reason>.
  const std::string& line = lines.empty() ? std::string() : lines.front();
  const std::size_t reason = line.find("settings: ");
  return "the file is no settings file: " +
         (reason == std::string::npos ? line : line.substr(reason + 10));
}

std::string StringValue(plist_t node) {
  char* text = nullptr;
  plist_get_string_val(node, &text);
  std::string value = text == nullptr ? "" : text;
  std::free(text);
  return value;
}

}  // namespace

std::size_t LargestSettingsFile() {
  return umbravista::SettingsDictionary::kSizeCap;
}

std::variant<OpenedSettings, std::string> ReadSettingsFile(std::string_view bytes) {
  using umbravista::SettingsDictionary;
  using umbravista::check::DescribeValue;
  using umbravista::check::Quoted;
  if (bytes.size() > SettingsDictionary::kSizeCap) {
    return "the file is larger than the library's limit of " +
           std::to_string(SettingsDictionary::kSizeCap) + " bytes, so it reads as no settings";
  }
  const SettingsDictionary dictionary = SettingsDictionary::Parse(bytes);
  if (!dictionary.HasSettings()) return WhyNoSettings(CheckSettingsFile(bytes).lines);

  OpenedSettings opened;
  for (const ColourField& field : kColourFields) {
    const std::string_view key = field.key;
    const std::string name(key);
    const plist_t node = dictionary.ValueForKey(name.c_str());
    if (node == nullptr) continue;
    if (plist_get_node_type(node) != PLIST_STRING) {
      opened.notes.push_back(Quoted(key) + " is " + DescribeValue(node) +
                             ", not a colour string; left out");
    } else if (std::string value = StringValue(node); value.size() > kLongestKeptString) {
      opened.notes.push_back(Quoted(key) + " is a string of " + std::to_string(value.size()) +
                             " bytes, too long for a colour; left out");
    } else {
      opened.settings.colours.emplace(name, std::move(value));
    }
  }
  if (const plist_t node = dictionary.ValueForKey("enabled"); node != nullptr) {
    const bool on = umbravista::ThemeGateFrom([bytes] { return SettingsDictionary::Parse(bytes); });
    opened.settings.enabled = on;
    if (plist_get_node_type(node) != PLIST_BOOLEAN) {
      opened.notes.push_back("\"enabled\" is " + DescribeValue(node) + ", not a boolean; kept as " +
                             (on ? "true" : "false") + ", what the theme counts it as");
    }
  }
  return opened;
}

CheckedSettings CheckSettingsFile(std::string_view bytes) {
  umbravista::check::SettingsCheckReport report =
      umbravista::check::CheckSettingsBytes(bytes, kSource);
  return {std::move(report.lines), report.exitStatus};
}

}  // namespace studio
