// umbravista: the project's main job over the simulated host.
//
//   umbravista preview [--settings FILE] [--system-version X.Y.Z] [--output PNG] [--json]
//   umbravista check SETTINGS
//   umbravista studio [--port N] [--settings FILE]
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "tools/check/SettingsCheck.h"
#include "tools/preview/PreviewCommand.h"
#include "tools/studio/StudioCommand.h"

namespace {

constexpr const char* kUsage =
    "usage: umbravista preview [--settings FILE] [--system-version X.Y.Z] [--output PNG] "
    "[--json]\n"
    "       umbravista check SETTINGS\n"
    "       umbravista studio [--port N] [--settings FILE]\n";

// Misuse exits as an unreadable settings file does, so that scripts around `check` see a failure.
int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Preview(int argc, char** argv) {
  preview::PreviewOptions options;
  for (int index = 2; index < argc; ++index) {
    const std::string option = argv[index];
    auto value = [&]() -> std::string {
      if (index + 1 >= argc) throw std::runtime_error(option + " needs a value");
      return argv[++index];
    };
    if (option == "--settings") {
      options.settingsPath = value();
    } else if (option == "--system-version") {
      options.systemVersion = value();
    } else if (option == "--output") {
      options.outputPath = value();
    } else if (option == "--json") {
      options.json = true;
    } else {
      return Usage();
    }
  }
  return preview::RunPreview(options);
}

int Studio(int argc, char** argv) {
  studio::StudioOptions options;
  for (int index = 2; index < argc; ++index) {
    const std::string option = argv[index];
    auto value = [&]() -> std::string {
      if (index + 1 >= argc) throw std::runtime_error(option + " needs a value");
      return argv[++index];
    };
    if (option == "--port") {
      const std::string port = value();
      std::size_t used = 0;
      try {
        options.port = std::stoi(port, &used);
      } catch (const std::logic_error&) {
        used = 0;
      }
      if (used == 0 || used != port.size()) throw std::runtime_error("--port needs a number");
    } else if (option == "--settings") {
      options.settingsPath = value();
    } else {
      return Usage();
    }
  }
  return studio::RunStudio(options);
}

int Check(const char* settingsPath) {
  const umbravista::check::SettingsCheckReport report =
      umbravista::check::CheckSettingsFile(settingsPath);
  for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
  return report.exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 2 && std::strcmp(argv[1], "preview") == 0) return Preview(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "studio") == 0) return Studio(argc, argv);
    return Usage();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "umbravista: %s\n", error.what());
    return 2;
  }
}
