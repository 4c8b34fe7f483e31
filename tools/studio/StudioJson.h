#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "tools/studio/StudioSession.h"

// The studio's JSON: what the page reads and what it sends. See StudioServer.h for the routes.
namespace studio {

// The page's whole state:
//   {"version": 3, "redrawMilliseconds": 84.2, "hooks": ["59 of 59 hooks installed", ...],
//    "enabled": true | false | null,
//    "fields": [{"key": "MainBGColor", "label": "Main background", "value": "#101820" | null,
//                "colour": "#101820", "alpha": 1, "builtIn": "#000000"}, ...],
//    "findings": [{"key": "Text" | null, "warning": false, "text": "contrast of Text ...",
//                  "contrast": {"ratio": 15.2, "least": 4.5, "passed": true, "counted": true}}],
//    "screens": [{"title": "Feed", "stock": "/api/screens/0/stock.png",
//                 "themed": "/api/screens/0/themed.png?v=3"}, ...]}
// A themed picture's "v" is the version that last altered it, so that a page fetches again only
// the pictures that a change altered.
// A field's "value" is the string in the settings file, null when absent; "colour" and "alpha"
// are the colour the theme uses for it (the value's, or the built-in one when the value is absent
// or names no colour), "#RRGGBB" in upper case as a colour picker takes it. "contrast" is present
// on contrast lines only.
[[nodiscard]] nlohmann::json StateJson(const StudioState& state);

// The settings as a JSON object of the present keys: {"enabled": false, "Text": "#EEEEEE"}.
[[nodiscard]] nlohmann::json SettingsJson(const StudioSettings& settings);

// Parses a request's body as JSON. Raises BadRequest for a body that is not JSON, and, without
// parsing it, for one that nests arrays or objects more than two deep: the settings are one object
// of plain values, and a body of deep nesting is refused after a scan instead of being built up.
[[nodiscard]] nlohmann::json ParsedBody(std::string_view body);

enum class ChangeKind {
  kMerge,    // Keys not in the body keep their values.
  kReplace,  // Keys not in the body become absent.
};

// Applies a body such as {"Text": "#EEEEEE", "heart": null, "enabled": false} to current: a
// colour key takes a colour string, or null for absent; "enabled" takes true, false or null.
// Raises BadRequest, and changes nothing, for a body that is not an object, a key the library
// does not read (suggesting the key probably meant; the refusal names no key), a value of the
// wrong kind, and a string that names no colour (both naming their key).
[[nodiscard]] StudioSettings ChangedSettings(const StudioSettings& current,
                                             const nlohmann::json& body, ChangeKind kind);

// The presets: first the built-in colours (no key present), then one per named theme, in the
// order of ThemeFiles, each read as the library reads it:
//   [{"name": "Built-in colours", "settings": {}}, {"name": "Deep sea", "settings": {...}}]
// A theme's name is its file's, "deep-sea.plist" giving "Deep sea". A theme that cannot be read
// as settings is left out (the themes' tests keep that from happening).
[[nodiscard]] nlohmann::json PresetsJson();

}  // namespace studio
