#include "tools/studio/CheckFindings.h"

#include <algorithm>
#include <string_view>

#include "settings/SettingsKeys.h"

namespace studio {
namespace {

bool IsLibraryKey(std::string_view key) {
  return std::find(umbravista::kSettingsKeys.begin(), umbravista::kSettingsKeys.end(), key) !=
         umbravista::kSettingsKeys.end();
}

std::optional<ContrastFinding> ContrastOf(const umbravista::check::Finding& finding) {
  if (finding.kind != "contrast") return std::nullopt;
  const nlohmann::json& details = finding.details;
  return ContrastFinding{details.at("ratio").get<double>(), details.at("leastRatio").get<double>(),
                         details.at("passes").get<bool>(), !details.at("builtIn").get<bool>()};
}

}  // namespace

std::vector<Finding> FindingsOf(const umbravista::check::SettingsCheckReport& report) {
  std::vector<Finding> findings;
  findings.reserve(report.findings.size() + 1);
  for (const umbravista::check::Finding& found : report.findings) {
    Finding finding;
    finding.warning = found.severity == umbravista::check::Severity::kWarning;
    finding.text = found.message;
    finding.key = IsLibraryKey(found.key) ? found.key : std::string();
    finding.contrast = ContrastOf(found);
    findings.push_back(std::move(finding));
  }
  // The summary, which no finding carries: the report's last line.
  if (report.lines.size() > report.findings.size()) {
    Finding summary;
    summary.text = report.lines.back();
    findings.push_back(std::move(summary));
  }
  return findings;
}

}  // namespace studio
