#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

// What the library's installer achieved, read from the hooking layer's records after the library
// was loaded.
namespace preview {

struct HookReport {
  std::size_t installed = 0;             // Hooks that the hooking layer put in place.
  std::size_t total = 0;                 // Entries of the library's hook table.
  std::set<std::string> missingClasses;  // Classes named by the entries that were not installed.
};

// Reads the hooking layer's records; all zero before the library is loaded.
[[nodiscard]] HookReport ReadHookReport();

// The report as two lines of text: "59 of 59 hooks installed", then "no hooked class is missing"
// or "classes or methods missing: " and the names, in byte order, separated by ", ".
[[nodiscard]] std::vector<std::string> HookReportLines(const HookReport& report);

}  // namespace preview
