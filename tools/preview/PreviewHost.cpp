#include "tools/preview/PreviewHost.h"

#include "device/Foundation/Foundation.h"
#include "device/host/SettingsWriter.h"
#include "tools/preview/ScreenJson.h"

namespace preview {
namespace {

device::HostOptions HostOptionsOf(const PreviewHostOptions& options) {
  device::HostOptions hostOptions;
  hostOptions.systemVersion = options.systemVersion;
  return hostOptions;
}

}  // namespace

PreviewHost::PreviewHost(const PreviewHostOptions& options) : host_(HostOptionsOf(options)) {
  device::AutoreleasePool pool;
  host_.RegisterClasses();
  stock_ = BuildScreens();
  for (const Screen& screen : stock_) {
    titles_.push_back(screen.title);
    if (options.drawStock) stockPictures_.push_back(RenderScreen(screen.root));
  }
}

PreviewHost::~PreviewHost() {
  device::AutoreleasePool pool;
  ReleaseScreens(stock_);
}

void PreviewHost::WriteSettings(const std::string& bytes) const {
  device::WriteRawFile(host_.SettingsPath(), bytes);
}

void PreviewHost::LoadLibrary() {
  host_.LoadLibrary();
}

std::vector<ScreenPicture> PreviewHost::DrawScreens() const {
  // Pausing belongs to a thread, and the studio draws on whichever thread answers a request.
  const device::PausedTrace quiet;
  device::AutoreleasePool pool;
  std::vector<Screen> screens = BuildScreens();
  std::vector<ScreenPicture> pictures;
  pictures.reserve(screens.size());
  for (const Screen& screen : screens) pictures.push_back(RenderScreen(screen.root));
  ReleaseScreens(screens);
  return pictures;
}

std::string PreviewHost::ScreensJsonNow() const {
  const device::PausedTrace quiet;
  device::AutoreleasePool pool;
  std::vector<Screen> screens = BuildScreens();
  std::string json = ScreensJson(screens);
  ReleaseScreens(screens);
  return json;
}

}  // namespace preview
