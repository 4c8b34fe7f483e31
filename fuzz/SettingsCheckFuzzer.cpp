// `check` on arbitrary bytes: it never crashes, and what it says agrees with the library's own
// reading of the same file: the file is refused exactly when the library finds no settings, a
// colour key is reported as naming no colour exactly when the library falls back for it, and an
// "enabled" that is no boolean counts as on exactly when the master switch says on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/colorpicker/ColorStringGrammar.h"
#include "propertylist/PropertyListReader.h"
#include "propertylist/TruthValue.h"
#include "settings/SettingsKeys.h"
#include "settings/ThemeGate.h"
#include "tools/check/SettingsCheck.h"
#include "tools/check/ValueDescription.h"

namespace {

using umbravista::LookUpKey;
using umbravista::SettingsLookup;

// What the library finds for `key`, read from a fresh copy as each query reads the file afresh.
template <typename Use>
auto LibraryReading(std::string_view bytes, std::string_view key, Use use) {
  std::vector<char> document(bytes.begin(), bytes.end());
  std::vector<std::uint64_t> work(umbravista::WorkBytesFor(bytes.size()) / 8 + 1);
  return use(LookUpKey({document, std::as_writable_bytes(std::span(work))}, key));
}

bool AnyLine(const std::vector<std::string>& lines, std::string_view start,
             std::string_view holding) {
  for (const std::string& line : lines) {
    if (line.starts_with(start) && line.find(holding) != std::string::npos) return true;
  }
  return false;
}

[[noreturn]] void Disagree(const char* what, std::string_view key) {
  std::fprintf(stderr, "check and the library disagree: %s for \"%.*s\"\n", what,
               static_cast<int>(key.size()), key.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const umbravista::check::SettingsCheckReport report =
      umbravista::check::CheckSettingsBytes(bytes, "fuzzed");
  const bool settings = LibraryReading(bytes, "", [](const SettingsLookup& lookup) {
    return lookup.verdict == umbravista::Verdict::kSettings;
  });
  if ((report.exitStatus == umbravista::check::kUnreadableSettings) == settings) {
    Disagree("whether it is settings", "");
  }
  if (!settings) return 0;

  for (const std::string_view key : umbravista::kSettingsKeys) {
    const std::string start = "warning: " + umbravista::check::Quoted(key) + " is ";
    if (key == umbravista::kEnabledKey) {
      const auto reading = [&] {
        return LibraryReading(
            bytes, key, [](const SettingsLookup& lookup) { return umbravista::SwitchIn(lookup); });
      };
      if (!reading().present || reading().truth == std::nullopt) continue;
      const bool on = umbravista::ThemeGateFrom(reading);
      const bool isBoolean = LibraryReading(bytes, key, [](const SettingsLookup& lookup) {
        return lookup.value->kind == umbravista::ValueKind::kBoolean;
      });
      if (!isBoolean &&
          !AnyLine(report.lines, start, on ? "counts it as on" : "counts it as off")) {
        Disagree("what the switch counts as", key);
      }
      continue;
    }
    const std::optional<bool> namesAColour =
        LibraryReading(bytes, key, [](const SettingsLookup& lookup) -> std::optional<bool> {
          if (!lookup.value) return std::nullopt;
          return lookup.value->kind == umbravista::ValueKind::kString &&
                 device::ParseColorString(lookup.value->text).has_value();
        });
    if (!namesAColour) continue;
    if (AnyLine(report.lines, start, "the theme falls back to") == *namesAColour) {
      Disagree("whether the value names a colour", key);
    }
  }
  return 0;
}
