#include "tools/preview/PreviewCommand.h"

#include <cstdio>
#include <set>
#include <stdexcept>
#include <variant>

#include "device/Foundation/Foundation.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Trace.h"
#include "device/substrate/HookRecord.h"
#include "hooks/HookTable.h"
#include "platform/FileSystem.h"
#include "settings/SettingsFile.h"
#include "tools/check/SettingsDocument.h"
#include "tools/preview/ScreenJson.h"
#include "tools/preview/ScreenRenderer.h"
#include "tools/preview/Screens.h"

namespace preview {
namespace {

// Read as the library reads its own: a FIFO, a device or a file over the cap is refused, never
// waited on or read without end.
std::string ReadSettingsFile(const std::string& path) {
  std::variant<std::string, umbravista::FileReadFailure> read =
      umbravista::ReadRegularFileToString(path.c_str(), umbravista::kSettingsSizeCap);
  if (const auto* failure = std::get_if<umbravista::FileReadFailure>(&read)) {
    throw std::runtime_error("cannot read the settings file " + path + ": " +
                             umbravista::check::WhyUnreadable(*failure));
  }
  return std::get<std::string>(std::move(read));
}

// The hooking layer sees a missing class as nil; the hook table, entry for entry in the same
// order, names it.
void ReportHooks(std::FILE* out) {
  const std::vector<device::HookRecord>& records = device::HookRecords();
  std::set<std::string> missing;
  std::size_t installed = 0;
  for (std::size_t index = 0; index < records.size(); ++index) {
    if (records[index].installed) {
      ++installed;
    } else if (index < umbravista::kHookTable.size()) {
      missing.insert(umbravista::kHookTable[index].className);
    }
  }
  std::fprintf(out, "%zu of %zu hooks installed\n", installed, umbravista::kHookTable.size());
  if (missing.empty()) {
    std::fprintf(out, "no hooked class is missing\n");
  } else {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    std::fprintf(out, "classes or methods missing: %s\n", names.c_str());
  }
}

}  // namespace

int RunPreview(const PreviewOptions& options) {
  device::HostOptions hostOptions;
  hostOptions.systemVersion = options.systemVersion;
  device::SimulatedHost host(hostOptions);
  const std::string settings =
      options.settingsPath.empty() ? std::string() : ReadSettingsFile(options.settingsPath);

  device::PausedTrace quiet;
  device::AutoreleasePool pool;
  host.RegisterClasses();
  std::vector<Screen> stock = BuildScreens();
  // Drawn now: the library answers some of UIKit's own getters that drawing asks (the status
  // bar's foreground, the caret, the keyboard), so stock screens drawn later would look themed.
  std::vector<ScreenPicture> stockPictures;
  if (!options.json) {
    for (const Screen& screen : stock) stockPictures.push_back(RenderScreen(screen.root));
  }

  if (!options.settingsPath.empty()) device::WriteRawFile(host.SettingsPath(), settings);
  host.LoadLibrary();
  std::vector<Screen> themed = BuildScreens();

  // The report goes to standard error when standard output carries the JSON.
  std::FILE* report = options.json ? stderr : stdout;
  ReportHooks(report);
  if (options.json) {
    std::fputs(ScreensJson(themed).c_str(), stdout);
  } else {
    std::vector<RenderedPair> pairs;
    for (std::size_t index = 0; index < themed.size(); ++index) {
      pairs.push_back(
          {themed[index].title, std::move(stockPictures[index]), RenderScreen(themed[index].root)});
    }
    WriteComparisonPicture(pairs, options.outputPath);
    std::fprintf(
        report, "settings: %s\n",
        options.settingsPath.empty() ? "none (built-in colours)" : options.settingsPath.c_str());
    std::fprintf(report, "picture: %s\n", options.outputPath.c_str());
  }
  ReleaseScreens(themed);
  ReleaseScreens(stock);
  return 0;
}

}  // namespace preview
