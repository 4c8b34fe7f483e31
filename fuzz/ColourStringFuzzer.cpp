// The colour-string grammar of the colour-picker stand-in against a plain reference of the forms
// libcolorpicker.h documents: "#" optional, then RRGGBB, RGB, RRGGBBAA, or RRGGBB or RGB with ":"
// and a plain decimal alpha, clamped to 0 to 1.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "device/colorpicker/ColorStringGrammar.h"

namespace {

bool AllHex(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

std::optional<double> PlainDecimal(std::string_view text) {
  if (std::count(text.begin(), text.end(), '.') > 1) return std::nullopt;
  if (std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) == 0) {
    return std::nullopt;
  }
  if (!std::all_of(text.begin(), text.end(),
                   [](char c) { return c == '.' || (c >= '0' && c <= '9'); })) {
    return std::nullopt;
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

std::optional<device::ColorStringComponents> Reference(std::string_view text) {
  if (!text.empty() && text[0] == '#') text.remove_prefix(1);
  std::string_view digits = text;
  double alpha = 1.0;
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    digits = text.substr(0, colon);
    const std::optional<double> written = PlainDecimal(text.substr(colon + 1));
    if (!written || (digits.size() != 3 && digits.size() != 6)) return std::nullopt;
    alpha = std::clamp(*written, 0.0, 1.0);
  }
  if (!AllHex(digits)) return std::nullopt;
  const auto byte = [&](std::size_t at, std::size_t width) {
    const unsigned value =
        static_cast<unsigned>(std::stoul(std::string(digits.substr(at, width)), nullptr, 16));
    return (width == 1 ? value * 17 : value) / 255.0;
  };
  switch (digits.size()) {
    case 3:
      return device::ColorStringComponents{byte(0, 1), byte(1, 1), byte(2, 1), alpha};
    case 6:
      return device::ColorStringComponents{byte(0, 2), byte(2, 2), byte(4, 2), alpha};
    case 8:
      return device::ColorStringComponents{byte(0, 2), byte(2, 2), byte(4, 2), byte(6, 2)};
    default:
      return std::nullopt;
  }
}

bool Near(double first, double second) {
  return std::fabs(first - second) <= 1e-9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto expected = Reference(text);
  const auto parsed = device::ParseColorString(text);
  if (expected.has_value() != parsed.has_value()) std::abort();
  if (parsed && (!Near(parsed->red, expected->red) || !Near(parsed->green, expected->green) ||
                 !Near(parsed->blue, expected->blue) || !Near(parsed->alpha, expected->alpha))) {
    std::abort();
  }
  return 0;
}
