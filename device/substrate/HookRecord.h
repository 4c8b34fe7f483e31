#pragma once

#include <ostream>
#include <string>
#include <vector>

// What the stand-in hooking layer was asked to do, so that a host can report which hooks took.
namespace device {

struct HookRecord {
  std::string className;  // "" when the class was nil.
  bool metaclass;         // A class-method hook.
  std::string selector;   // "" when the selector was null.
  bool installed;
};

// "+[IGColors linkColor]" for a class-method hook that took, "-[nil absent:] skipped" for one
// that found no class; the form every report and test of hooks shows.
std::string Describe(const HookRecord& record);
inline void PrintTo(const HookRecord& record, std::ostream* out) {
  *out << Describe(record);
}

// A copy of every MSHookMessageEx call of the process so far, in order. Safe from any thread,
// also while another thread installs hooks.
std::vector<HookRecord> HookRecords();

}  // namespace device
