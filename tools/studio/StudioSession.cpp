#include "tools/studio/StudioSession.h"

#include <chrono>
#include <cstring>
#include <future>

#include "tools/preview/HookReport.h"
#include "tools/studio/SettingsAdapter.h"

namespace studio {
namespace {

bool SamePixels(const preview::ScreenPicture& a, const preview::ScreenPicture& b) {
  cairo_surface_t* one = a.Surface();
  cairo_surface_t* other = b.Surface();
  if (one == nullptr || other == nullptr || a.Width() != b.Width() || a.Height() != b.Height() ||
      cairo_image_surface_get_stride(one) != cairo_image_surface_get_stride(other)) {
    return false;
  }
  const std::size_t size = static_cast<std::size_t>(cairo_image_surface_get_stride(one)) *
                           static_cast<std::size_t>(a.Height());
  return std::memcmp(cairo_image_surface_get_data(one), cairo_image_surface_get_data(other),
                     size) == 0;
}

}  // namespace

StaleVersion::StaleVersion(StudioState current)
    : std::runtime_error("the settings changed elsewhere since version " +
                         std::to_string(current.version) + " was shown"),
      current_(std::move(current)) {}

StudioSession::StudioSession(const StudioSettings& initial) : host_(preview::PreviewHostOptions{}) {
  for (const preview::ScreenPicture& picture : host_.StockPictures()) {
    stockPngs_.push_back(preview::EncodePng(picture));
  }
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

int StudioSession::Version() const {
  const std::lock_guard lock(mutex_);
  return state_.version;
}

StudioState StudioSession::Change(
    int version, const std::function<StudioSettings(const StudioSettings&)>& change) {
  const std::lock_guard lock(mutex_);
  if (version != state_.version) throw StaleVersion(state_);
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
  std::vector<preview::ScreenPicture> pictures = host_.DrawScreens();
  const int version = state_.version + 1;
  std::vector<std::string> pngs = themedPngs_;
  std::vector<int> versions = state_.themedVersions;
  pngs.resize(pictures.size());
  versions.resize(pictures.size());
  std::vector<std::size_t> altered;
  for (std::size_t index = 0; index < pictures.size(); ++index) {
    // A picture the change did not alter keeps its bytes and version, so the page keeps it too.
    if (index >= themedPictures_.size() || !SamePixels(pictures[index], themedPictures_[index])) {
      altered.push_back(index);
      versions[index] = version;
    }
  }
  // Encoding touches no simulated device, so a second thread takes every other picture.
  const auto encode = [&](std::size_t first) {
    for (std::size_t at = first; at < altered.size(); at += 2) {
      pngs[altered[at]] = preview::EncodePng(pictures[altered[at]]);
    }
  };
  std::future<void> second = std::async(std::launch::async, encode, 1);
  encode(0);
  second.get();
  themedPictures_ = std::move(pictures);
  themedPngs_ = std::move(pngs);
  state_.themedVersions = std::move(versions);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;

  state_.settings = settings;
  state_.findings = FindingsOf(CheckSettingsFile(file));
  state_.redrawMilliseconds = took.count();
  state_.version = version;
}

}  // namespace studio
