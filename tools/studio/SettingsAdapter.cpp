#include "tools/studio/SettingsAdapter.h"

#include "platform/FileSystem.h"
#include "propertylist/TruthValue.h"
#include "settings/SettingsFile.h"
#include "settings/ThemeGate.h"
#include "tools/check/SettingsDocument.h"
#include "tools/check/ValueDescription.h"

namespace studio {
namespace {

// A colour string past this length is no colour and would only clutter the page's field.
constexpr std::size_t kLongestKeptString = 256;

constexpr std::string_view kSource = "the file";

}  // namespace

std::variant<OpenedSettings, std::string> ReadSettingsFile(std::string_view bytes) {
  using umbravista::check::DescribeValue;
  using umbravista::check::Quoted;
  using umbravista::check::StoredValue;
  if (bytes.size() > umbravista::kSettingsSizeCap) {
    return "the file is larger than the library's limit of " +
           std::to_string(umbravista::kSettingsSizeCap) + " bytes, so it reads as no settings";
  }
  const umbravista::check::SettingsDocument document{std::string(bytes)};
  if (document.Verdict().verdict != umbravista::Verdict::kSettings) {
    return "the file is no settings file: " + umbravista::check::WhyNoSettings(document);
  }

  OpenedSettings opened;
  for (const ColourField& field : kColourFields) {
    const std::string_view key = field.key;
    const std::optional<StoredValue> value = document.ValueOf(key);
    if (!value) continue;
    if (value->kind != umbravista::ValueKind::kString) {
      opened.notes.push_back(Quoted(key) + " is " + DescribeValue(value->View()) +
                             ", not a colour string; left out");
    } else if (value->text.find('\0') != std::string::npos) {
      // Kept, it would be written back cut at the NUL, naming a colour the file never named.
      opened.notes.push_back(Quoted(key) + " is " + DescribeValue(value->View()) +
                             ", which holds a NUL byte and names no colour; left out");
    } else if (value->text.size() > kLongestKeptString) {
      opened.notes.push_back(Quoted(key) + " is a string of " + std::to_string(value->text.size()) +
                             " bytes, too long for a colour; left out");
    } else {
      opened.settings.colours.emplace(std::string(key), value->text);
    }
  }
  if (const std::optional<StoredValue> value = document.ValueOf("enabled")) {
    // The gate itself decides, from the same bytes read each time it asks.
    const bool on = umbravista::ThemeGateFrom([&document] {
      umbravista::SwitchReading reading;
      if (const std::optional<StoredValue> stored = document.ValueOf("enabled")) {
        reading = {true, umbravista::TruthValue(stored->View())};
      }
      return reading;
    });
    opened.settings.enabled = on;
    if (value->kind != umbravista::ValueKind::kBoolean) {
      opened.notes.push_back("\"enabled\" is " + DescribeValue(value->View()) +
                             ", not a boolean; kept as " + (on ? "true" : "false") +
                             ", what the theme counts it as");
    }
  }
  return opened;
}

std::variant<OpenedSettings, std::string> ReadSettingsFileAt(const std::string& path) {
  auto bytes = umbravista::ReadRegularFileToString(path.c_str(), umbravista::kSettingsSizeCap);
  if (const auto* failure = std::get_if<umbravista::FileReadFailure>(&bytes)) {
    return "cannot read the settings file " + path + ": " +
           umbravista::check::WhyUnreadable(*failure);
  }
  auto read = ReadSettingsFile(std::get<std::string>(bytes));
  if (auto* why = std::get_if<std::string>(&read)) *why = path + ": " + *why;
  return read;
}

umbravista::check::SettingsCheckReport CheckSettingsFile(std::string_view bytes) {
  return umbravista::check::CheckSettingsBytes(bytes, kSource);
}

}  // namespace studio
