#include "tools/preview/PreviewCommand.h"

#include <cstdio>
#include <stdexcept>
#include <variant>

#include "platform/FileSystem.h"
#include "settings/SettingsFile.h"
#include "tools/check/SettingsDocument.h"
#include "tools/preview/HookReport.h"
#include "tools/preview/PreviewHost.h"

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

}  // namespace

int RunPreview(const PreviewOptions& options) {
  // Read first: a file that the library would refuse stops the preview before anything is made.
  const std::string settings =
      options.settingsPath.empty() ? std::string() : ReadSettingsFile(options.settingsPath);
  PreviewHostOptions hostOptions;
  hostOptions.systemVersion = options.systemVersion;
  hostOptions.drawStock = !options.json;
  PreviewHost host(hostOptions);
  if (!options.settingsPath.empty()) host.WriteSettings(settings);
  host.LoadLibrary();

  // The report goes to standard error when standard output carries the JSON.
  std::FILE* report = options.json ? stderr : stdout;
  for (const std::string& line : HookReportLines(ReadHookReport())) {
    std::fprintf(report, "%s\n", line.c_str());
  }
  if (options.json) {
    std::fputs(host.ScreensJsonNow().c_str(), stdout);
    return 0;
  }
  std::vector<ScreenPicture> themed = host.DrawScreens();
  std::vector<RenderedPair> pairs;
  for (std::size_t index = 0; index < themed.size(); ++index) {
    pairs.push_back(
        {host.Titles()[index], std::move(host.StockPictures()[index]), std::move(themed[index])});
  }
  WriteComparisonPicture(pairs, options.outputPath);
  std::fprintf(
      report, "settings: %s\n",
      options.settingsPath.empty() ? "none (built-in colours)" : options.settingsPath.c_str());
  std::fprintf(report, "picture: %s\n", options.outputPath.c_str());
  return 0;
}

}  // namespace preview
