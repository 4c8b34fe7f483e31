#include "tools/check/SettingsCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>

#include "platform/FileSystem.h"
#include "propertylist/TruthValue.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/ThemeGate.h"
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
  std::string message = Quoted(source) + " cannot be read as settings: " + why;
  SettingsCheckReport report;
  report.lines = {"error: " + message};
  report.findings = {{"unreadable", Severity::kError, "", std::move(message), {{"reason", why}}}};
  report.exitStatus = kUnreadableSettings;
  return report;
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

struct FallbackUsers {
  std::string_view fallback;
  std::vector<std::string_view> users;
};

// The fallbacks that replace `key`, each with the getters and drawings that take it.
std::vector<FallbackUsers> FallbacksOf(std::string_view key) {
  std::vector<FallbackUsers> fallbacks;
  for (const ColourSettingUser& row : kColourSettingUsers) {
    if (row.setting.key != key) continue;
    auto same = std::find_if(fallbacks.begin(), fallbacks.end(), [&](const FallbackUsers& entry) {
      return entry.fallback == row.setting.fallback;
    });
    if (same == fallbacks.end()) {
      fallbacks.push_back({row.setting.fallback, {row.user}});
    } else {
      same->users.push_back(row.user);
    }
  }
  return fallbacks;
}

// "#000000 (main background, navigationBarOverlayColor) and #202020 (separatorColor)".
std::string FallbacksText(const std::vector<FallbackUsers>& fallbacks) {
  std::string answer;
  for (std::size_t i = 0; i < fallbacks.size(); ++i) {
    if (i > 0) answer += i + 1 == fallbacks.size() ? " and " : ", ";
    answer += std::string(fallbacks[i].fallback) + " (";
    for (std::size_t user = 0; user < fallbacks[i].users.size(); ++user) {
      answer += (user > 0 ? ", " : "") + std::string(fallbacks[i].users[user]);
    }
    answer += ")";
  }
  return answer;
}

nlohmann::json FallbacksJson(const std::vector<FallbackUsers>& fallbacks) {
  nlohmann::json answer = nlohmann::json::array();
  for (const FallbackUsers& entry : fallbacks) {
    answer.push_back({{"colour", entry.fallback}, {"users", entry.users}});
  }
  return answer;
}

class ReportBuilder {
 public:
  void Warn(const char* kind, std::string_view key, std::string message, nlohmann::json details) {
    findings_.push_back(
        {kind, Severity::kWarning, std::string(key), std::move(message), std::move(details)});
  }
  void Inform(const char* kind, std::string_view key, std::string message, nlohmann::json details) {
    findings_.push_back(
        {kind, Severity::kInformation, std::string(key), std::move(message), std::move(details)});
  }

  SettingsCheckReport Finish() {
    SettingsCheckReport report;
    int warnings = 0;
    for (const Finding& finding : findings_) {
      const bool warning = finding.severity == Severity::kWarning;
      warnings += warning ? 1 : 0;
      report.lines.push_back((warning ? kWarningPrefix : "") + finding.message);
    }
    if (warnings == 0) {
      report.lines.emplace_back("no warnings");
    } else {
      report.lines.push_back(std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings"));
    }
    report.findings = std::move(findings_);
    report.warnings = warnings;
    report.exitStatus = warnings == 0 ? kNothingWrong : kWarnings;
    return report;
  }

 private:
  std::vector<Finding> findings_;
};

void ReportUnknownKeys(const std::vector<std::string>& keys, ReportBuilder& report) {
  for (const std::string& key : keys) {
    if (std::find(kSettingsKeys.begin(), kSettingsKeys.end(), key) != kSettingsKeys.end()) continue;
    std::string line = "key " + Quoted(key) + " is not one the library reads";
    nlohmann::json details = {{"suggestion", nullptr}};
    if (const std::optional<std::string_view> meant = LikelyIntendedKey(key)) {
      line += "; did you mean " + Quoted(*meant) + "?";
      details["suggestion"] = *meant;
    }
    report.Warn("unknown-key", key, line, std::move(details));
  }
}

void ReportColoursNamingNoColour(const SettingsDocument& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const std::optional<StoredValue> value = settings.ValueOf(key);
    if (!value) continue;
    const std::optional<std::string> text = ColourText(value);
    std::string why;
    std::string reason;
    if (!text) {
      reason = "not a colour string";
      why = "is " + DescribeValue(value->View()) + ", " + reason;
    } else if (!device::ParseColorString(*text)) {
      reason = WhyNamesNoColour(*text);
      why = "is " + Quoted(*text) + ", which names no colour (" + reason + ")";
    } else {
      continue;
    }
    const std::vector<FallbackUsers> fallbacks = FallbacksOf(key);
    report.Warn("no-colour", key,
                Quoted(key) + " " + why + "; the theme falls back to " + FallbacksText(fallbacks),
                {{"value", DescribeValue(value->View())},
                 {"reason", reason},
                 {"fallbacks", FallbacksJson(fallbacks)}});
  }
}

void ReportNonPortableColours(const SettingsDocument& settings, ReportBuilder& report) {
  for (const std::string_view key : kSettingsKeys) {
    if (!IsColourKey(key)) continue;
    const std::optional<std::string> text = ColourText(settings.ValueOf(key));
    if (!text) continue;
    const std::optional<Colour> colour = device::ParseColorString(*text);
    if (!colour || IsPortableColourForm(*text)) continue;
    const std::string portable = PortableSpelling(*colour);
    report.Warn("non-portable-colour", key,
                Quoted(key) + " is " + Quoted(*text) +
                    ", a colour in a form that some colour-picker libraries read differently; "
                    "write " +
                    Quoted(portable),
                {{"value", *text}, {"portable", portable}});
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
  const bool hasTruth = TruthValue(value->View()).has_value();
  const std::string noTruth = hasTruth ? "" : ", which has no truth value";
  report.Warn("enabled-not-boolean", kEnabledKey,
              Quoted(kEnabledKey) + " is " + DescribeValue(value->View()) + noTruth +
                  ", not a boolean; the theme counts it as " + counted,
              {{"value", DescribeValue(value->View())},
               {"hasTruthValue", hasTruth},
               {"countsAs", counted}});
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
    const bool passes = ratio >= pair.leastRatio;
    // The theme's own colours are its authors' choice: shown, but nothing for the user to fix.
    const bool builtIn = foreground.builtIn && background.builtIn;
    const nlohmann::json details = {
        {"foreground",
         {{"key", pair.foreground.key}, {"colour", PortableSpelling(foreground.colour)}}},
        {"background",
         {{"key", pair.background.key}, {"colour", PortableSpelling(background.colour)}}},
        {"ratio", std::round(ratio * 100) / 100},
        {"leastRatio", pair.leastRatio},
        {"passes", passes},
        {"builtIn", builtIn}};
    if (passes) {
      report.Inform("contrast", pair.foreground.key,
                    line.append(" (at least ").append(least).append(")"), details);
    } else if (builtIn) {
      report.Inform(
          "contrast", pair.foreground.key,
          line.append(", under ").append(least).append(" (built-in colours, not counted)"),
          details);
    } else {
      report.Warn("contrast", pair.foreground.key, line.append(", under ").append(least), details);
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

nlohmann::json ReportJson(const SettingsCheckReport& report, std::string_view source) {
  nlohmann::json findings = nlohmann::json::array();
  for (const Finding& finding : report.findings) {
    constexpr const char* kSeverities[] = {"error", "warning", "information"};
    nlohmann::json object = {
        {"kind", finding.kind},
        {"severity", kSeverities[static_cast<int>(finding.severity)]},
        {"key", finding.key.empty() ? nlohmann::json() : nlohmann::json(finding.key)},
        {"message", finding.message}};
    object.update(finding.details);
    findings.push_back(std::move(object));
  }
  return {{"source", source},
          {"status", report.exitStatus},
          {"warnings", report.warnings},
          {"findings", std::move(findings)}};
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
