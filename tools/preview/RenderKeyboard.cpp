#include "tools/preview/RenderKeyboard.h"

#include <string>
#include <vector>

#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"
#include "tools/preview/RenderShapes.h"
#include "tools/preview/RenderText.h"

namespace preview {
namespace {

constexpr long kDarkAppearance = 1;

struct KeyboardLook {
  device::RGBA background;
  device::RGBA letterKey;
  device::RGBA functionKey;  // Shift, delete, "123" and return, a shade apart from the letters.
  device::RGBA letter;
};

KeyboardLook LookOf(long appearance) {
  if (appearance == kDarkAppearance) {
    return {OpaqueRGB(0x2B2B2B), OpaqueRGB(0x6B6B6B), OpaqueRGB(0x474747), OpaqueRGB(0xFFFFFF)};
  }
  return {OpaqueRGB(0xD1D4D9), OpaqueRGB(0xFFFFFF), OpaqueRGB(0xACB3BC), OpaqueRGB(0x000000)};
}

struct Key {
  CGRect rect;
  std::string label;
  bool function;
};

// The keys of a 10-column grid: keys are one column wide, the function keys and the space bar
// wider, rows share the height evenly, with a gap around every key.
std::vector<Key> KeysFor(CGSize size) {
  constexpr double kGap = 6;
  constexpr int kRows = 4;
  const double column = (size.width - kGap) / 10;
  const double keyHeight = (size.height - kGap) / kRows - kGap;
  auto rowTop = [&](int row) { return kGap + row * (keyHeight + kGap); };
  auto key = [&](double left, int row, double columns, std::string label, bool function) {
    return Key{RectOf(left + kGap / 2, rowTop(row), columns * column - kGap, keyHeight),
               std::move(label), function};
  };
  std::vector<Key> keys;
  const std::vector<std::string> rows = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  for (int row = 0; row < 3; ++row) {
    const double left = kGap / 2 + (10 - static_cast<double>(rows[row].size())) * column / 2;
    for (std::size_t i = 0; i < rows[row].size(); ++i) {
      keys.push_back(key(left + i * column, row, 1, std::string(1, rows[row][i]), false));
    }
  }
  keys.push_back(key(kGap / 2, 2, 1.4, "\u21E7", true));
  keys.push_back(key(kGap / 2 + 8.6 * column, 2, 1.4, "\u232B", true));
  keys.push_back(key(kGap / 2, 3, 2.5, "123", true));
  keys.push_back(key(kGap / 2 + 2.5 * column, 3, 5, "space", false));
  keys.push_back(key(kGap / 2 + 7.5 * column, 3, 2.5, "return", true));
  return keys;
}

}  // namespace

void DrawKeyboard(cairo_t* cairo, id keyboard, CGSize size) {
  const KeyboardLook look = LookOf(device::Message<long>(keyboard, "appearance"));
  FillWithPaint(cairo, {{0, 0}, size}, {Paint::Kind::kSolid, look.background});
  cairo_save(cairo);
  for (const Key& key : KeysFor(size)) {
    SetSource(cairo, key.function ? look.functionKey : look.letterKey);
    AddRoundedRectangle(cairo, key.rect, 5);
    cairo_fill(cairo);
    UseSansFont(cairo, key.label.size() == 1 ? 18 : 13);
    const double width = TextAdvance(cairo, key.label);
    DrawLineCentredVertically(cairo, key.label,
                              key.rect.origin.x + (key.rect.size.width - width) / 2,
                              key.rect.origin.y, key.rect.size.height, look.letter);
  }
  cairo_restore(cairo);
}

}  // namespace preview
