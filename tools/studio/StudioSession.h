#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
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
  int version = 0;                     // Counts the changes drawn, from 1 for the first drawing.
  double redrawMilliseconds = 0;       // Writing the file, drawing the five screens, encoding them.
  std::vector<std::string> titles;     // The screens', in order.
  std::vector<int> themedVersions;     // Per screen, the version that last altered its picture.
  std::vector<std::string> hookLines;  // What the installer achieved, as the preview says it.
};

// A change made on a version that is no longer the current one: another page changed the
// settings meanwhile. Holds the current state, so that the page can show it.
class StaleVersion : public std::runtime_error {
 public:
  explicit StaleVersion(StudioState current);
  [[nodiscard]] const StudioState& Current() const { return current_; }

 private:
  StudioState current_;
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
  // under the mutex so that concurrent changes apply one after the other. `version` is the
  // version that the change was made on: when it is not the current one, raises StaleVersion and
  // changes nothing, so that a change never silently undoes one that its maker had not seen. When
  // `change` raises, nothing changes and the exception goes to the caller.
  StudioState Change(int version,
                     const std::function<StudioSettings(const StudioSettings&)>& change);

  // The PNG of screen `index`, stock or themed as last drawn; nothing for an index out of range.
  [[nodiscard]] std::optional<std::string> Picture(std::size_t index, bool themed) const;

  // The current settings as the file the device would read, in `format`.
  [[nodiscard]] std::string SettingsFile(device::PropertyListFormat format) const;

  // The current version, without copying the state: what a page asks every second.
  [[nodiscard]] int Version() const;

 private:
  void WriteAndDraw(const StudioSettings& settings);

  mutable std::mutex mutex_;
  preview::PreviewHost host_;
  std::vector<std::string> stockPngs_;
  std::vector<std::string> themedPngs_;
  // The themed screens as last drawn, to tell which pictures a change altered.
  std::vector<preview::ScreenPicture> themedPictures_;
  StudioState state_;
};

}  // namespace studio
