#include "tools/preview/HookReport.h"

#include "device/substrate/HookRecord.h"
#include "hooks/HookTable.h"

namespace preview {

HookReport ReadHookReport() {
  // The hooking layer sees a missing class as nil; the hook table, entry for entry in the same
  // order, names it.
  const std::vector<device::HookRecord>& records = device::HookRecords();
  HookReport report;
  report.total = umbravista::kHookTable.size();
  for (std::size_t index = 0; index < records.size(); ++index) {
    if (records[index].installed) {
      ++report.installed;
    } else if (index < umbravista::kHookTable.size()) {
      report.missingClasses.insert(umbravista::kHookTable[index].className);
    }
  }
  return report;
}

std::vector<std::string> HookReportLines(const HookReport& report) {
  std::vector<std::string> lines = {std::to_string(report.installed) + " of " +
                                    std::to_string(report.total) + " hooks installed"};
  if (report.missingClasses.empty()) {
    lines.emplace_back("no hooked class is missing");
  } else {
    std::string names;
    for (const std::string& name : report.missingClasses) {
      names += (names.empty() ? "" : ", ") + name;
    }
    lines.push_back("classes or methods missing: " + names);
  }
  return lines;
}

}  // namespace preview
