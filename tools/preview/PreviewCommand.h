#pragma once

#include <string>

// `umbravista preview`: the host's screens without the library and with it, side by side.
namespace preview {

struct PreviewOptions {
  std::string settingsPath;   // A settings file (XML or binary); empty for the built-in colours.
  std::string systemVersion;  // The simulated system's version; empty for the device's default.
  std::string outputPath = "umbravista-preview.png";
  bool json = false;  // Print the themed screens as JSON instead of writing the picture.
};

// Builds the screens in a simulated host without the library, loads the library as the loader
// would, puts the settings file in place, builds them again, and writes the picture (or prints
// the JSON). Prints how many hooks were installed and which classes the system lacked. Answers
// the process's exit status; raises std::runtime_error when something cannot be done.
int RunPreview(const PreviewOptions& options);

}  // namespace preview
