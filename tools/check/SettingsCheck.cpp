#include "tools/check/SettingsCheck.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <variant>

#include "platform/FileSystem.h"
#include "settings/SettingsDictionary.h"
#include "settings/SettingsKeys.h"
#include "settings/ThemeGate.h"
#include "settings/TruthValue.h"
#include "tools/check/ColourSettingUsers.h"
#include "tools/check/ColourStringForms.h"
#include "tools/check/Contrast.h"
#include "tools/check/ContrastPairs.h"
#include "tools/check/KeySpelling.h"
#include "tools/check/ValueDescription.h"

namespace umbravista::check {

namespace {

constexpr const char* kWarningPrefix = "warning: ";

using OwnedPlist = std::unique_ptr<void, decltype(&plist_free)>;

// The library's parse decides whether there are settings; this second parse of the same bytes
// only serves to say why not, and to list the keys, which SettingsDictionary does not expose.
// Like the library's parse, refuses what libplist's 32-bit length would cut short.
OwnedPlist ParsedPlist(std::string_view bytes) {
  plist_t root = nullptr;
  if (!bytes.empty() && bytes.size() <= std::numeric_limits<std::uint32_t>::max()) {
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  }
  return {root, &plist_free};
}

std::string WhyNoSettings(std::string_view bytes) {
  if (bytes.empty()) return "the file is empty, not a property list";
  const OwnedPlist root = ParsedPlist(bytes);
  // A dictionary root never gets here: it is exactly what the library's parse accepts.
  if (root == nullptr || plist_get_node_type(root.get()) == PLIST_DICT) {
    return "not a property list";
  }
  return "its root is " + DescribeValue(root.get()) + ", not a dictionary";
}

std::string WhyUnreadable(FileReadFailure failure) {
  switch (failure) {
    case FileReadFailure::kNoPath:
      return "no path given";
    case FileReadFailure::kMissing:
      return "no such file";
    case FileReadFailure::kCannotOpen:
      return "the file cannot be opened";
    case FileReadFailure::kNotRegularFile:
      return "not a regular file";
    case FileReadFailure::kLargerThanCap:
      return "larger than the library's limit of " + std::to_string(SettingsDictionary::kSizeCap) +
             " bytes";
    case FileReadFailure::kReadError:
      return "reading the file failed";
  }
  return "the file cannot be read";
}

SettingsCheckReport Unreadable(std::string_view source, const std::string& why) {
  return {{"error: " + Quoted(source) + " cannot be read as settings: " + why},
          kUnreadableSettings};
}

std::vector<std::string> SortedKeys(std::string_view bytes) {
  const OwnedPlist root = ParsedPlist(bytes);
  std::vector<std::string> keys;
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(root.get(), &iterator);
  while (true) {
    char* key = nullptr;
    plist_dict_next_item(root.get(), iterator, &key, nullptr);
    if (key == nullptr) break;
    keys.emplace_back(key);
    std::free(key);
  }
  std::free(iterator);
  std::sort(keys.begin(), keys.end());
  return keys;
}

bool IsColourKey(std::string_view key) {
  return key != kEnabledKey;
}

// The text the library hands libcolorpicker: a string value up to its first NUL, as it becomes an
// NSString; nothing for a value of another kind, which libcolorpicker replaces with the fallback.
std::optional<std::string> ColourText(plist_t node) {
  if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  char* text = nullptr;
  plist_get_string_val(node, &text);
  std::string answer = text == nullptr ? "" : text;
  std::free(text);
  return answer;
}

Colour ParsedFallback(const ColourSetting& setting) {
  return device::ParseColorString(setting.fallback).value_or(Colour{0, 0, 0, 1});
}

// "#000000 (main background, navigationBarOverlayColor) and #202020 (separatorColor)".
std::string FallbacksOf(std::string_view key) {
  std::vector<std::pair<std::string_view, std::string>> usersByFallback;
  for (const ColourSettingUser& row : kColourSettingUsers) {
    if (row.setting.key != key) continue;
    auto same =
        std::find_if(usersByFallback.begin(), usersByFallback.end(),
                     [&](const auto& entry) { return entry.first == row.setting.fallback; });
    if (same == usersByFallback.end()) {
      usersByFallback.emplace_back(row.setting.fallback, std::string(row.user));
    } else {
      same->second += ", " + std::string(row.user);
    }
  }
  std::string answer;
  for (std::size_t i = 0; i < usersByFallback.size(); ++i) {
    if (i > 0) answer += i + 1 == usersByFallback.size() ? " and " : ", ";
    answer += std::string(usersByFallback[i].first) + " (" + usersByFallback[i].second + ")";
  }
  return answer;
}

class ReportBuilder {
 public:
  void Warn(const std::string& line) {
    lines_.push_back(kWarningPrefix + line);
    ++warnings_;
  }
  void Inform(const std::string& line) { lines_.push_back(line); }

  SettingsCheckReport Finish() {
    if (warnings_ == 0) {
      lines_.emplace_back("no warnings");
    } else {
      lines_.push_back(std::to_string(warnings_) + (warnings_ == 1 ? " warning" : " warnings"));
    }
    return {std::move(lines_), warnings_ == 0 ? kNothingWrong : kWarnings};
  }

 private:
  std::vector<std::string> lines_;
  int warnings_ = 0;
};

void ReportUnknownKeys(const std::vector<std::string>& keys, ReportBuilder& report) {
  for (const std::string& key : keys) {
    if (std::find(kSettingsKeys.begin(), kSettingsKeys.end(), key) != kSettingsKeys.end()) continue;
    std::string line = "key " + Quoted(key) + " is not one the library reads";
    if (const std::optional<std::string_view> meant = LikelyIntendedKey(key)) {
      line += "; did you mean " + Quoted(*meant) + "?";
    }
    report.Warn(line);
  }
}

void ReportColoursNamingNoColour(const SettingsDictionary& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const plist_t node = settings.ValueForKey(std::string(key).c_str());
    if (node == nullptr) continue;
    const std::optional<std::string> text = ColourText(node);
    std::string why;
    if (!text) {
      why = "is " + DescribeValue(node) + ", not a colour string";
    } else if (!device::ParseColorString(*text)) {
      why = "is " + Quoted(*text) + ", which names no colour (" + WhyNamesNoColour(*text) + ")";
    } else {
      continue;
    }
    report.Warn(Quoted(key) + " " + why + "; the theme falls back to " + FallbacksOf(key));
  }
}

void ReportNonPortableColours(const SettingsDictionary& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const std::optional<std::string> text =
        ColourText(settings.ValueForKey(std::string(key).c_str()));
    if (!text) continue;
    const std::optional<Colour> colour = device::ParseColorString(*text);
    if (!colour || IsPortableColourForm(*text)) continue;
    report.Warn(Quoted(key) + " is " + Quoted(*text) +
                ", a colour in a form that some colour-picker libraries read differently; write " +
                Quoted(PortableSpelling(*colour)));
  }
}

void ReportEnabledNotBoolean(std::string_view bytes, const SettingsDictionary& settings,
                             ReportBuilder& report) {
  const plist_t node = settings.ValueForKey(kEnabledKey);
  if (node == nullptr || plist_get_node_type(node) == PLIST_BOOLEAN) return;
  // The gate itself decides, from the same bytes read each time it asks.
  const bool on = ThemeGateFrom([bytes] { return SettingsDictionary::Parse(bytes); });
  const std::string counted = on ? "on" : "off";
  const std::string noTruth = TruthValue(node) ? "" : ", which has no truth value";
  report.Warn(Quoted(kEnabledKey) + " is " + DescribeValue(node) + noTruth +
              ", not a boolean; the theme counts it as " + counted);
}

struct ThemeColour {
  Colour colour;
  bool builtIn;  // Equal to the setting's built-in colour, whether written or fallen back to.
};

bool SameColour(const Colour& first, const Colour& second) {
  return first.red == second.red && first.green == second.green && first.blue == second.blue &&
         first.alpha == second.alpha;
}

ThemeColour ColourTheThemeUses(const SettingsDictionary& settings, const ColourSetting& setting) {
  const Colour builtIn = ParsedFallback(setting);
  std::optional<Colour> written;
  if (const std::optional<std::string> text = ColourText(settings.ValueForKey(setting.key))) {
    written = device::ParseColorString(*text);
  }
  const Colour used = written.value_or(builtIn);
  return {used, SameColour(used, builtIn)};
}

std::string Formatted(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void ReportContrast(const SettingsDictionary& settings, ReportBuilder& report) {
  for (const ContrastPair& pair : kContrastPairs) {
    const ThemeColour foreground = ColourTheThemeUses(settings, pair.foreground);
    const ThemeColour background = ColourTheThemeUses(settings, pair.background);
    const double ratio = ContrastRatio(foreground.colour, background.colour);
    const std::string least = Formatted("%g:1", pair.leastRatio);
    std::string line = std::string("contrast of ") + pair.foreground.key + " " +
                             PortableSpelling(foreground.colour) + " on " + pair.background.key +
                             " " + PortableSpelling(background.colour) + " is " +
                             Formatted("%.2f:1", ratio);
    if (ratio >= pair.leastRatio) {
      report.Inform(line.append(" (at least ").append(least).append(")"));
    } else if (foreground.builtIn && background.builtIn) {
      // The theme's own colours are its authors' choice: shown, but nothing for the user to fix.
      report.Inform(
          line.append(", under ").append(least).append(" (built-in colours, not counted)"));
    } else {
      report.Warn(line.append(", under ").append(least));
    }
  }
}

}  // namespace

SettingsCheckReport CheckSettingsBytes(std::string_view bytes, std::string_view source) {
  const SettingsDictionary settings = SettingsDictionary::Parse(bytes);
  if (!settings.HasSettings()) return Unreadable(source, WhyNoSettings(bytes));
  ReportBuilder report;
  ReportUnknownKeys(SortedKeys(bytes), report);
  ReportColoursNamingNoColour(settings, report);
  ReportNonPortableColours(settings, report);
  ReportEnabledNotBoolean(bytes, settings, report);
  ReportContrast(settings, report);
  return report.Finish();
}

SettingsCheckReport CheckSettingsFile(const char* hostPath) {
  const std::string_view source = hostPath == nullptr ? "" : hostPath;
  std::variant<std::string, FileReadFailure> read =
      ReadRegularFile(hostPath, SettingsDictionary::kSizeCap);
  if (const FileReadFailure* failure = std::get_if<FileReadFailure>(&read)) {
    return Unreadable(source, WhyUnreadable(*failure));
  }
  return CheckSettingsBytes(std::get<std::string>(read), source);
}

}  // namespace umbravista::check
