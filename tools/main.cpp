// umbravista: the project's main job over the simulated host.
//
//   umbravista preview [--settings FILE] [--system-version X.Y.Z] [--output PNG] [--json]
//   umbravista check [--json] SETTINGS
//   umbravista studio [--port N] [--settings FILE]
//   umbravista help [COMMAND]
//
// Help (--help, -h or help, on its own or with a command) goes to standard output and exits 0.
// Misuse goes to standard error and exits 2, as a file that cannot be read as settings does, so
// that scripts around `check` see a failure.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tools/check/SettingsCheck.h"
#include "tools/preview/PreviewCommand.h"
#include "tools/studio/StudioCommand.h"

namespace {

constexpr int kMisuse = 2;

// An empty path names no file; reading it would silently mean none.
const CLI::Validator kNotEmpty(
    [](const std::string& value) { return value.empty() ? std::string("must not be empty") : ""; },
    "NOT EMPTY");

constexpr const char* kCommands[] = {"preview", "check", "studio"};

bool IsCommand(const std::string& word) {
  return std::find(std::begin(kCommands), std::end(kCommands), word) != std::end(kCommands);
}

// "help" is a word for --help: `help`, `help check` and `check help` ask what `--help` and
// `check --help` do. Answers the arguments to parse, or nullopt for help about no command.
std::optional<std::vector<std::string>> WithHelpAsFlag(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (!words.empty() && words[0] == "help") {
    if (words.size() == 1) return std::vector<std::string>{"--help"};
    if (words.size() == 2 && IsCommand(words[1]))
      return std::vector<std::string>{words[1], "--help"};
    return std::nullopt;
  }
  if (words.size() == 2 && IsCommand(words[0]) && words[1] == "help") {
    return std::vector<std::string>{words[0], "--help"};
  }
  return words;
}

int Check(const std::string& path, bool json) {
  const umbravista::check::SettingsCheckReport report =
      umbravista::check::CheckSettingsFile(path.c_str());
  if (json) {
    std::cout << umbravista::check::ReportJson(report, path).dump(2) << "\n";
  } else {
    for (const std::string& line : report.lines) std::cout << line << "\n";
  }
  return report.exitStatus;
}

}  // namespace

// Building the command line throws only on a fault in this file, which must end the process.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  CLI::App app(
      "Previews and checks settings files of Umbravista, the dark theme, on the host's "
      "screens in a simulated device.",
      "umbravista");
  app.require_subcommand(1);
  app.set_help_flag("-h,--help", "Print this help and exit");

  preview::PreviewOptions previewOptions;
  CLI::App* preview = app.add_subcommand(
      "preview", "Draw the host's screens without the library and with it, side by side");
  preview
      ->add_option("--settings", previewOptions.settingsPath,
                   "A settings file, XML or binary property list, as the device holds it")
      ->check(kNotEmpty);
  preview->add_option("--system-version", previewOptions.systemVersion,
                      "The simulated system's version, X.Y.Z; large titles need 11.0.0");
  preview->add_option("--output", previewOptions.outputPath, "The picture to write (PNG)")
      ->check(kNotEmpty)
      ->capture_default_str();
  preview->add_flag("--json", previewOptions.json,
                    "Print the themed screens as JSON instead of writing the picture");

  std::string checkPath;
  bool checkJson = false;
  CLI::App* check = app.add_subcommand(
      "check", "Say what in a settings file the library would ignore, replace or read differently");
  check->add_option("SETTINGS", checkPath, "The settings file")->required()->check(kNotEmpty);
  check->add_flag("--json", checkJson, "Print the findings as one JSON object");
  check->footer("Exit status: 0 nothing wrong, 1 warnings, 2 not readable as settings.");

  studio::StudioOptions studioOptions;
  CLI::App* studio = app.add_subcommand(
      "studio", "Serve a page on 127.0.0.1 to design a settings file, the screens themed live");
  studio->add_option("--port", studioOptions.port, "The port; 0 picks a free one")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  studio->add_option("--settings", studioOptions.settingsPath, "A settings file to start from")
      ->check(kNotEmpty);

  app.footer("umbravista help [COMMAND] and umbravista COMMAND help print the same help.");

  if (argc > 1 && argv[1][0] != '-' && std::string(argv[1]) != "help" && !IsCommand(argv[1])) {
    std::cerr << "umbravista: no command named " << argv[1] << "\n\n" << app.help();
    return kMisuse;
  }
  std::optional<std::vector<std::string>> words = WithHelpAsFlag(argc, argv);
  if (!words) {
    std::cerr << "umbravista: help is about one command: preview, check or studio\n\n"
              << app.help();
    return kMisuse;
  }
  // CLI11 takes the arguments last first.
  std::reverse(words->begin(), words->end());
  try {
    app.parse(*words);
  } catch (const CLI::CallForHelp& error) {
    return app.exit(error, std::cout, std::cerr);
  } catch (const CLI::ParseError& error) {
    std::cerr << "umbravista: " << error.what() << "\n\n";
    std::cerr << app.help();  // The help of the command given, if one was.
    return kMisuse;
  }

  try {
    if (preview->parsed()) return preview::RunPreview(previewOptions);
    if (check->parsed()) return Check(checkPath, checkJson);
    return studio::RunStudio(studioOptions);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "umbravista: %s\n", error.what());
    return kMisuse;
  }
}
