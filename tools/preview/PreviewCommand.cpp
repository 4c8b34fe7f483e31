#include "tools/preview/PreviewCommand.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tools/preview/HookReport.h"
#include "tools/preview/PreviewHost.h"

namespace preview {
namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read the settings file " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

int RunPreview(const PreviewOptions& options) {
  PreviewHostOptions hostOptions;
  hostOptions.systemVersion = options.systemVersion;
  hostOptions.drawStock = !options.json;
  PreviewHost host(hostOptions);
  if (!options.settingsPath.empty()) host.WriteSettings(ReadWholeFile(options.settingsPath));
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
