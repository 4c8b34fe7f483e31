#include "tools/studio/StudioJson.h"

#include <cctype>
#include <variant>

#include "device/colorpicker/ColorStringGrammar.h"
#include "tools/check/ColourSettingUsers.h"
#include "tools/check/ColourStringForms.h"
#include "tools/check/KeySpelling.h"
#include "tools/check/ValueDescription.h"
#include "tools/studio/EmbeddedFiles.h"
#include "tools/studio/SettingsAdapter.h"

namespace studio {
namespace {

using nlohmann::json;
using umbravista::check::Quoted;

constexpr const char* kEnabledKey = "enabled";

// The colour a key shows when it has none of its own: its first user's fallback. A key with
// several users (Separators) has several fallbacks; the picker can show one.
std::string_view BuiltInColour(std::string_view key) {
  for (const umbravista::check::ColourSettingUser& row : umbravista::check::kColourSettingUsers) {
    if (row.setting.key == key) return row.setting.fallback;
  }
  return "#000000";
}

json FieldJson(const ColourField& field, const StudioSettings& settings) {
  const auto found = settings.colours.find(field.key);
  const std::string_view builtIn = BuiltInColour(field.key);
  std::optional<device::ColorStringComponents> colour;
  if (found != settings.colours.end()) colour = device::ParseColorString(found->second);
  if (!colour) colour = device::ParseColorString(builtIn);
  device::ColorStringComponents opaque = colour.value_or(device::ColorStringComponents{0, 0, 0, 1});
  const double alpha = opaque.alpha;
  opaque.alpha = 1;
  std::string upperBuiltIn(builtIn);
  for (char& c : upperBuiltIn) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return {
      {"key", field.key},
      {"label", field.label},
      {"value", found == settings.colours.end() ? json(nullptr) : json(found->second)},
      {"colour", umbravista::check::PortableSpelling(opaque)},
      {"alpha", alpha},
      {"builtIn", upperBuiltIn},
  };
}

json FindingJson(const Finding& finding) {
  json object = {
      {"key", finding.key.empty() ? json(nullptr) : json(finding.key)},
      {"warning", finding.warning},
      {"text", finding.text},
  };
  if (finding.contrast) {
    object["contrast"] = {
        {"ratio", finding.contrast->ratio},
        {"least", finding.contrast->leastRatio},
        {"passed", finding.contrast->passed},
        {"counted", finding.contrast->counted},
    };
  }
  return object;
}

constexpr int kDeepestBody = 2;

// Whether text nests arrays and objects deeper than `limit`, brackets inside strings aside.
bool NestsDeeperThan(std::string_view text, int limit) {
  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// "an array", "a number": a JSON value's kind, for a message.
std::string KindOf(const json& value) {
  const std::string kind = value.type_name();
  return (kind.front() == 'a' || kind.front() == 'o' ? "an " : "a ") + kind;
}

void ApplyEnabled(const json& value, StudioSettings& settings) {
  if (value.is_null()) {
    settings.enabled.reset();
  } else if (value.is_boolean()) {
    settings.enabled = value.get<bool>();
  } else {
    throw BadRequest("\"enabled\" takes true, false or null, not " + KindOf(value), kEnabledKey);
  }
}

void ApplyColour(const std::string& key, const json& value, StudioSettings& settings) {
  if (value.is_null()) {
    settings.colours.erase(key);
  } else if (value.is_string()) {
    const auto& text = value.get_ref<const std::string&>();
    RequireColourString(key, text);
    settings.colours.insert_or_assign(key, text);
  } else {
    throw BadRequest(Quoted(key) + " takes a colour string or null, not " + KindOf(value), key);
  }
}

// "deep-sea.plist" reads "Deep sea".
std::string ThemeName(std::string_view fileName) {
  std::string name(fileName.substr(0, fileName.rfind('.')));
  for (char& c : name) {
    if (c == '-' || c == '_') c = ' ';
  }
  if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  return name;
}

}  // namespace

json ParsedBody(std::string_view body) {
  if (NestsDeeperThan(body, kDeepestBody)) {
    throw BadRequest("the settings must be a JSON object of strings, booleans and nulls");
  }
  json parsed = json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) throw BadRequest("the body is not JSON");
  return parsed;
}

json StateJson(const StudioState& state) {
  json fields = json::array();
  for (const ColourField& field : kColourFields) fields.push_back(FieldJson(field, state.settings));
  json findings = json::array();
  for (const Finding& finding : state.findings) findings.push_back(FindingJson(finding));
  json screens = json::array();
  for (std::size_t index = 0; index < state.titles.size(); ++index) {
    const std::string base = "/api/screens/" + std::to_string(index);
    screens.push_back(
        {{"title", state.titles[index]},
         {"stock", base + "/stock.png"},
         {"themed", base + "/themed.png?v=" + std::to_string(state.themedVersions.at(index))}});
  }
  return {
      {"version", state.version},
      {"redrawMilliseconds", state.redrawMilliseconds},
      {"hooks", state.hookLines},
      {"enabled", state.settings.enabled ? json(*state.settings.enabled) : json(nullptr)},
      {"fields", fields},
      {"findings", findings},
      {"screens", screens},
  };
}

json SettingsJson(const StudioSettings& settings) {
  json object = json::object();
  if (settings.enabled) object[kEnabledKey] = *settings.enabled;
  for (const auto& [key, value] : settings.colours) object[key] = value;
  return object;
}

StudioSettings ChangedSettings(const StudioSettings& current, const json& body, ChangeKind kind) {
  if (!body.is_object()) throw BadRequest("the settings must be a JSON object");
  StudioSettings changed = kind == ChangeKind::kMerge ? current : StudioSettings{};
  for (const auto& [key, value] : body.items()) {
    if (key == kEnabledKey) {
      ApplyEnabled(value, changed);
    } else if (IsColourKey(key)) {
      ApplyColour(key, value, changed);
    } else {
      std::string message = Quoted(key) + " is not a key the library reads";
      if (const auto meant = umbravista::check::LikelyIntendedKey(key)) {
        message += "; did you mean " + Quoted(*meant) + "?";
      }
      // Not echoed as the key: it names no field, and may be as long as the body.
      throw BadRequest(message);
    }
  }
  return changed;
}

json PresetsJson() {
  json presets = json::array({{{"name", "Built-in colours"}, {"settings", json::object()}}});
  for (const EmbeddedFile& file : ThemeFiles()) {
    const auto read = ReadSettingsFile(file.bytes);
    if (const auto* opened = std::get_if<OpenedSettings>(&read)) {
      presets.push_back(
          {{"name", ThemeName(file.name)}, {"settings", SettingsJson(opened->settings)}});
    }
  }
  return presets;
}

}  // namespace studio
