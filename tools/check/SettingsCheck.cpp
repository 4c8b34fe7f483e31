#include "tools/check/SettingsCheck.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <variant>

#include "platform/FileSystem.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/ThemeGate.h"
#include "settings/TruthValue.h"
#include "tools/check/ColourSettingUsers.h"
#include "tools/check/ColourStringForms.h"
#include "tools/check/Contrast.h"
#include "tools/check/ContrastPairs.h"
#include "tools/check/KeySpelling.h"
#include "tools/check/SettingsDocument.h"
#include "tools/check/ValueDescription.h"

namespace umbravista::check {

namespace {

constexpr const char* kWarningPrefix = "warning: ";

SettingsCheckReport Unreadable(std::string_view source, const std::string& why) {
  return {{"error: " + Quoted(source) + " cannot be read as settings: " + why},
          kUnreadableSettings};
}

bool IsColourKey(std::string_view key) {
  return key != kEnabledKey;
}

// The text the library hands libcolorpicker: every byte of a string value; nothing for a value of
// another kind, which libcolorpicker replaces with the fallback.
std::optional<std::string> ColourText(const std::optional<StoredValue>& value) {
  if (!value || value->kind != ValueKind::kString) return std::nullopt;
  return value->text;
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

void ReportColoursNamingNoColour(const SettingsDocument& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const std::optional<StoredValue> value = settings.ValueOf(key);
    if (!value) continue;
    const std::optional<std::string> text = ColourText(value);
    std::string why;
    if (!text) {
      why = "is " + DescribeValue(value->View()) + ", not a colour string";
    } else if (!device::ParseColorString(*text)) {
      why = "is " + Quoted(*text) + ", which names no colour (" + WhyNamesNoColour(*text) + ")";
    } else {
      continue;
    }
    report.Warn(Quoted(key) + " " + why + "; the theme falls back to " + FallbacksOf(key));
  }
}

void ReportNonPortableColours(const SettingsDocument& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const std::optional<std::string> text = ColourText(settings.ValueOf(key));
    if (!text) continue;
    const std::optional<Colour> colour = device::ParseColorString(*text);
    if (!colour || IsPortableColourForm(*text)) continue;
    report.Warn(Quoted(key) + " is " + Quoted(*text) +
                ", a colour in a form that some colour-picker libraries read differently; write " +
                Quoted(PortableSpelling(*colour)));
  }
}

void ReportEnabledNotBoolean(const SettingsDocument& settings, ReportBuilder& report) {
  const std::optional<StoredValue> value = settings.ValueOf(kEnabledKey);
  if (!value || value->kind == ValueKind::kBoolean) return;
  // The gate itself decides, from the same bytes read each time it asks.
  const bool on = ThemeGateFrom([&settings] {
    SwitchReading reading;
    if (const std::optional<StoredValue> stored = settings.ValueOf(kEnabledKey)) {
      reading = {true, TruthValue(stored->View())};
    }
    return reading;
  });
  const std::string counted = on ? "on" : "off";
  const std::string noTruth = TruthValue(value->View()) ? "" : ", which has no truth value";
  report.Warn(Quoted(kEnabledKey) + " is " + DescribeValue(value->View()) + noTruth +
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

ThemeColour ColourTheThemeUses(const SettingsDocument& settings, const ColourSetting& setting) {
  const Colour builtIn = ParsedFallback(setting);
  std::optional<Colour> written;
  if (const std::optional<std::string> text = ColourText(settings.ValueOf(setting.key))) {
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

void ReportContrast(const SettingsDocument& settings, ReportBuilder& report) {
  for (const ContrastPair& pair : kContrastPairs) {
    const ThemeColour foreground = ColourTheThemeUses(settings, pair.foreground);
    const ThemeColour background = ColourTheThemeUses(settings, pair.background);
    const double ratio = ContrastRatio(foreground.colour, background.colour);
    const std::string least = Formatted("%g:1", pair.leastRatio);
    std::string line = std::string("contrast of ") + pair.foreground.key + " " +
                       PortableSpelling(foreground.colour) + " on " + pair.background.key + " " +
                       PortableSpelling(background.colour) + " is " + Formatted("%.2f:1", ratio);
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
  const SettingsDocument settings{std::string(bytes)};
  if (settings.Verdict().verdict != Verdict::kSettings) {
    return Unreadable(source, WhyNoSettings(settings));
  }
  ReportBuilder report;
  ReportUnknownKeys(settings.Keys(), report);
  ReportColoursNamingNoColour(settings, report);
  ReportNonPortableColours(settings, report);
  ReportEnabledNotBoolean(settings, report);
  ReportContrast(settings, report);
  return report.Finish();
}

SettingsCheckReport CheckSettingsFile(const char* hostPath) {
  const std::string_view source = hostPath == nullptr ? "" : hostPath;
  std::variant<std::string, FileReadFailure> read =
      ReadRegularFileToString(hostPath, kSettingsSizeCap);
  if (const FileReadFailure* failure = std::get_if<FileReadFailure>(&read)) {
    return Unreadable(source, WhyUnreadable(*failure));
  }
  return CheckSettingsBytes(std::get<std::string>(read), source);
}

}  // namespace umbravista::check
