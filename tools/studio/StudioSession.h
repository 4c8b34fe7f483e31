#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tools/preview/PreviewHost.h"
#include "tools/studio/CheckFindings.h"
#include "tools/studio/StudioSettings.h"

// The studio's one simulated host with the library loaded, and the settings it shows. A change
// of settings is written to the simulated device's settings file and the themed screens are
// drawn again: the library reads the file afresh at every query, so it is never reloaded.
namespace studio {

// What the page shows, as of one change.
struct StudioState {
  StudioSettings settings;
  std::vector<Finding> findings;       // The checker's report on the device's settings file.
  int version = 0;                     // Counts the changes drawn; the themed pictures' version.
  double redrawMilliseconds = 0;       // Writing the file, drawing the five screens, encoding them.
  std::vector<std::string> titles;     // The screens', in order.
  std::vector<std::string> hookLines;  // What the installer achieved, as the preview says it.
};

// Safe for use from any number of threads: every call that touches the simulated host or the
// library takes one mutex, since the simulated device is not safe for concurrent use.
class StudioSession {
 public:
  // Starts the simulated host: draws the stock screens, writes `initial` as the device's settings
  // file, loads the library and draws the themed screens. One per process (see PreviewHost).
  // Raises what PreviewHost raises.
  explicit StudioSession(const StudioSettings& initial = {});

  [[nodiscard]] StudioState State() const;

  // Computes new settings from the current ones with `change`, then writes and draws them, all
  // under the mutex so that concurrent changes apply one after the other. When `change` raises,
  // nothing changes and the exception goes to the caller.
  StudioState Change(const std::function<StudioSettings(const StudioSettings&)>& change);

  // The PNG of screen `index`, stock or themed as last drawn; nothing for an index out of range.
  [[nodiscard]] std::optional<std::string> Picture(std::size_t index, bool themed) const;

  // The current settings as the file the device would read, in `format`.
  [[nodiscard]] std::string SettingsFile(device::PropertyListFormat format) const;

 private:
  void WriteAndDraw(const StudioSettings& settings);

  mutable std::mutex mutex_;
  preview::PreviewHost host_;
  std::vector<std::string> stockPngs_;
  std::vector<std::string> themedPngs_;
  StudioState state_;
};

}  // namespace studio
