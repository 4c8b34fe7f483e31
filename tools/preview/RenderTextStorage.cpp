#include "tools/preview/RenderTextStorage.h"

#include <string>
#include <vector>

#include "UIKit/UIKit.h"
#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/runtime/Runtime.h"
#include "tools/preview/RenderColor.h"
#include "tools/preview/RenderShapes.h"
#include "tools/preview/RenderText.h"

namespace preview {
namespace {

// One character of the storage: its UTF-8 bytes and the UTF-16 unit at which it starts, which is
// how the storage indexes its attributes.
struct Character {
  std::string utf8;
  unsigned long unit = 0;
  double x = 0;
  double lineTop = 0;
  double advance = 0;
};

std::vector<Character> SplitCharacters(const std::string& text) {
  std::vector<Character> characters;
  unsigned long unit = 0;
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    characters.push_back({text.substr(at, length), unit});
    // Characters beyond the basic plane take two UTF-16 units, every other one.
    unit += length == 4 ? 2 : 1;
    at += length;
  }
  return characters;
}

bool IsSpace(const Character& character) {
  return character.utf8 == " ";
}
bool IsLineBreak(const Character& character) {
  return character.utf8 == "\n";
}

// The width of the word that starts at `first`: the characters up to the next space or break.
double WordWidth(const std::vector<Character>& characters, std::size_t first) {
  double width = 0;
  for (std::size_t i = first; i < characters.size(); ++i) {
    if (IsSpace(characters[i]) || IsLineBreak(characters[i])) break;
    width += characters[i].advance;
  }
  return width;
}

// Places every character, moving a word that would cross `width` to a new line, and breaking a
// word that is wider than a whole line where it runs out.
void LayOut(std::vector<Character>& characters, double width, double lineHeight) {
  double x = 0;
  double lineTop = 0;
  auto newLine = [&] {
    x = 0;
    lineTop += lineHeight;
  };
  for (std::size_t i = 0; i < characters.size(); ++i) {
    Character& character = characters[i];
    if (IsLineBreak(character)) {
      character.lineTop = lineTop;
      character.advance = 0;
      newLine();
      continue;
    }
    const bool startsWord = !IsSpace(character) && (i == 0 || IsSpace(characters[i - 1]));
    if (x > 0 && !IsSpace(character)) {
      const double needed = startsWord ? WordWidth(characters, i) : character.advance;
      if (x + needed > width) newLine();
    }
    character.x = x;
    character.lineTop = lineTop;
    x += character.advance;
  }
}

CGRect TextArea(id view, CGSize size) {
  if (device::IsKindOf(view, "RCTTextView")) {
    const CGRect content = device::ContentFrameOf(view);
    if (content.size.width > 0 && content.size.height > 0) return content;
    return {{0, 0}, size};
  }
  constexpr double kTopInset = 8.0;
  constexpr double kSideInset = 5.0;
  return RectOf(kSideInset, kTopInset, size.width - 2 * kSideInset, size.height - kTopInset);
}

}  // namespace

void DrawTextStorageView(cairo_t* cairo, id view, CGSize size) {
  id storage = device::Message<id>(view, "textStorage");
  std::vector<Character> characters = SplitCharacters(device::TextStorageText(storage));
  if (characters.empty()) return;
  const CGRect area = TextArea(view, size);
  cairo_save(cairo);
  cairo_rectangle(cairo, 0, 0, size.width, size.height);
  cairo_clip(cairo);
  cairo_translate(cairo, area.origin.x, area.origin.y);
  UseSansFont(cairo, kBodyFontSize);
  cairo_font_extents_t font;
  cairo_font_extents(cairo, &font);
  for (Character& character : characters) character.advance = TextAdvance(cairo, character.utf8);
  LayOut(characters, area.size.width, font.height);

  // A text view draws its characters without a colour of their own in its textColor, as UIKit
  // does; React Native text carries its colours in the storage.
  const bool answersTextColour =
      class_respondsToSelector(object_getClass(view), sel_registerName("textColor"));
  const auto defaultColour = ComponentsOr(
      PaintOfColor(answersTextColour ? device::Message<id>(view, "textColor") : nullptr), kBlack);
  const std::string foregroundName = device::StringText(NSForegroundColorAttributeName);
  const std::string backgroundName = device::StringText(NSBackgroundColorAttributeName);
  // Backgrounds first, so that no character's background covers its neighbour's glyph.
  for (const Character& character : characters) {
    id background = device::TextStorageAttribute(storage, backgroundName.c_str(), character.unit);
    FillWithPaint(cairo, RectOf(character.x, character.lineTop, character.advance, font.height),
                  PaintOfColor(background));
  }
  for (const Character& character : characters) {
    if (IsSpace(character) || IsLineBreak(character)) continue;
    id foreground = device::TextStorageAttribute(storage, foregroundName.c_str(), character.unit);
    SetSource(cairo, ComponentsOr(PaintOfColor(foreground), defaultColour));
    cairo_move_to(cairo, character.x, character.lineTop + font.ascent);
    cairo_show_text(cairo, character.utf8.c_str());
  }
  cairo_restore(cairo);
}

}  // namespace preview
