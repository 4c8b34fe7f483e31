#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/check/SettingsCheck.h"
#include "tools/studio/StudioSettings.h"

// The studio's only way into the library's settings reader and the checker: every file the
// studio reads, and every check it shows, goes through these two functions, so that a change of
// the reader is a change of this adapter alone.
namespace studio {

struct OpenedSettings {
  StudioSettings settings;
  // What the studio could not keep as the file held it, one sentence each: a colour value that
  // is no string, or an overlong one (left out), an "enabled" that is no boolean (kept as what
  // the theme counts it as).
  std::vector<std::string> notes;
};

// Reads bytes as the library reads its settings file: a file larger than the library's limit, or
// one that is not a property list with a dictionary at its root, answers a sentence saying why
// it is no settings (the checker's reason). Otherwise answers the colour strings and the switch
// found under the library's keys; other keys are not read, as the library does not read them.
// A string holding a NUL byte names no colour to the library and is left out, with a note.
[[nodiscard]] std::variant<OpenedSettings, std::string> ReadSettingsFile(std::string_view bytes);

// The same for the file at `path` on this machine, read as `check` reads one: a regular file
// only, no larger than the library reads (64 KiB), so that a FIFO, a device or a directory is
// refused at once instead of being waited on or read without end. A file that cannot be read
// answers "cannot read the settings file PATH: " and why, in `check`'s words ("not a regular
// file", "no such file"); one that is no settings answers "PATH: " and ReadSettingsFile's reason.
[[nodiscard]] std::variant<OpenedSettings, std::string> ReadSettingsFileAt(const std::string& path);

// What `umbravista check` says of the settings file held in bytes.
[[nodiscard]] umbravista::check::SettingsCheckReport CheckSettingsFile(std::string_view bytes);

}  // namespace studio
