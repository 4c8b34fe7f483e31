#pragma once

#include <string>
#include <vector>

#include "device/host/SimulatedHost.h"
#include "device/runtime/Trace.h"
#include "tools/preview/ScreenRenderer.h"
#include "tools/preview/Screens.h"

// The simulated host as the preview and the studio show it: the sample screens drawn stock, then
// the library loaded once, then the same screens built and drawn again as often as wanted, each
// time with the settings file as it is then, since the library reads it afresh at every query.
namespace preview {

struct PreviewHostOptions {
  std::string systemVersion;  // The simulated system's version; empty for the device's default.
  bool drawStock = true;      // Whether to draw the stock screens, or only build them.
};

// Not safe for concurrent use: the simulated device's runtime state is shared and unguarded, so
// callers on several threads must take turns. Classes are registered once per process, so a
// process holds at most one PreviewHost.
class PreviewHost {
 public:
  // Makes the simulated host on a device root of its own, registers the platform's and the host's
  // classes, and builds the sample screens without the library. With options.drawStock it draws
  // them now: once the library is loaded its replacements answer some of UIKit's own getters that
  // drawing asks (the status bar's foreground, the caret, the keyboard), so stock screens drawn
  // later would come out partly themed. Nothing here is a test's doing, so nothing is recorded in
  // the device's trace, on whichever thread a call comes: a recording trace would grow with every
  // redraw. Raises std::invalid_argument for a system version that is no version, as
  // SimulatedHost does.
  explicit PreviewHost(const PreviewHostOptions& options);
  // Releases the stock screens and removes the device root; the library stays loaded.
  ~PreviewHost();
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;

  // Replaces the library's settings file on the simulated device with `bytes`, as they are.
  // Raises std::runtime_error when it cannot be written.
  void WriteSettings(const std::string& bytes) const;

  // Loads the library as the loader would; once. Raises std::runtime_error when it cannot.
  void LoadLibrary();

  // The screens' titles, in the order of BuildScreens.
  [[nodiscard]] const std::vector<std::string>& Titles() const { return titles_; }

  // The stock pictures, one per title; empty unless drawn. Handed out for moving.
  [[nodiscard]] std::vector<ScreenPicture>& StockPictures() { return stockPictures_; }

  // Builds every screen afresh, draws it and releases it again, within an autorelease pool of its
  // own. With the library loaded the pictures are themed with the settings file as it is now.
  [[nodiscard]] std::vector<ScreenPicture> DrawScreens() const;

  // Builds every screen afresh and answers their JSON, as ScreensJson writes it.
  [[nodiscard]] std::string ScreensJsonNow() const;

 private:
  device::PausedTrace quiet_;
  device::SimulatedHost host_;
  std::vector<Screen> stock_;
  std::vector<std::string> titles_;
  std::vector<ScreenPicture> stockPictures_;
};

}  // namespace preview
