#include "tools/studio/CheckFindings.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "settings/SettingsKeys.h"

namespace studio {
namespace {

constexpr std::string_view kWarningPrefix = "warning: ";
constexpr std::string_view kContrastPrefix = "contrast of ";

bool IsLibraryKey(std::string_view key) {
  return std::find(umbravista::kSettingsKeys.begin(), umbravista::kSettingsKeys.end(), key) !=
         umbravista::kSettingsKeys.end();
}

// The number that follows `marker` in text ("4.52" in "is 4.52:1"), or nothing.
std::optional<double> NumberAfter(const std::string& text, std::string_view marker) {
  const std::size_t at = text.find(marker);
  if (at == std::string::npos) return std::nullopt;
  const char* start = text.c_str() + at + marker.size();
  char* end = nullptr;
  const double value = std::strtod(start, &end);
  if (end == start) return std::nullopt;
  return value;
}

std::optional<ContrastFinding> ContrastOf(const std::string& text) {
  const std::optional<double> ratio = NumberAfter(text, " is ");
  std::optional<double> least = NumberAfter(text, "(at least ");
  const bool passed = least.has_value();
  if (!passed) least = NumberAfter(text, ", under ");
  if (!ratio || !least) return std::nullopt;
  return ContrastFinding{*ratio, *least, passed, text.find("not counted") == std::string::npos};
}

std::string KeyOf(std::string_view text) {
  std::string_view candidate;
  if (text.starts_with(kContrastPrefix)) {
    text.remove_prefix(kContrastPrefix.size());
    candidate = text.substr(0, text.find(' '));
  } else if (text.starts_with('"')) {
    candidate = text.substr(1, text.find('"', 1) - 1);
  }
  return IsLibraryKey(candidate) ? std::string(candidate) : std::string();
}

}  // namespace

std::vector<Finding> FindingsOf(const std::vector<std::string>& lines) {
  std::vector<Finding> findings;
  findings.reserve(lines.size());
  for (const std::string& line : lines) {
    Finding finding;
    finding.warning = line.starts_with(kWarningPrefix);
    finding.text = finding.warning ? line.substr(kWarningPrefix.size()) : line;
    finding.key = KeyOf(finding.text);
    if (finding.text.starts_with(kContrastPrefix)) finding.contrast = ContrastOf(finding.text);
    findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace studio
