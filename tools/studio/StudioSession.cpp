#include "tools/studio/StudioSession.h"

#include <chrono>

#include "tools/preview/HookReport.h"
#include "tools/studio/SettingsAdapter.h"

namespace studio {
namespace {

std::vector<std::string> Encoded(const std::vector<preview::ScreenPicture>& pictures) {
  std::vector<std::string> pngs;
  pngs.reserve(pictures.size());
  for (const preview::ScreenPicture& picture : pictures)
    pngs.push_back(preview::EncodePng(picture));
  return pngs;
}

}  // namespace

StudioSession::StudioSession(const StudioSettings& initial) : host_(preview::PreviewHostOptions{}) {
  stockPngs_ = Encoded(host_.StockPictures());
  host_.StockPictures().clear();
  state_.titles = host_.Titles();
  // The file is in place before the library loads, as a device that has settings holds them.
  host_.WriteSettings(SettingsFileBytes(initial, device::PropertyListFormat::kXml));
  host_.LoadLibrary();
  state_.hookLines = preview::HookReportLines(preview::ReadHookReport());
  WriteAndDraw(initial);
}

StudioState StudioSession::State() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

StudioState StudioSession::Change(
    const std::function<StudioSettings(const StudioSettings&)>& change) {
  const std::lock_guard lock(mutex_);
  WriteAndDraw(change(state_.settings));
  return state_;
}

std::optional<std::string> StudioSession::Picture(std::size_t index, bool themed) const {
  const std::lock_guard lock(mutex_);
  const std::vector<std::string>& pngs = themed ? themedPngs_ : stockPngs_;
  if (index >= pngs.size()) return std::nullopt;
  return pngs[index];
}

std::string StudioSession::SettingsFile(device::PropertyListFormat format) const {
  const std::lock_guard lock(mutex_);
  return SettingsFileBytes(state_.settings, format);
}

void StudioSession::WriteAndDraw(const StudioSettings& settings) {
  const auto start = std::chrono::steady_clock::now();
  const std::string file = SettingsFileBytes(settings, device::PropertyListFormat::kXml);
  host_.WriteSettings(file);
  std::vector<std::string> pngs = Encoded(host_.DrawScreens());
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;

  themedPngs_ = std::move(pngs);
  state_.settings = settings;
  state_.findings = FindingsOf(CheckSettingsFile(file));
  state_.redrawMilliseconds = took.count();
  ++state_.version;
}

}  // namespace studio
