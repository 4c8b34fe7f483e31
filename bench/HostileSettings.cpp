#include "bench/HostileSettings.h"

#include <functional>
#include <string_view>
#include <utility>

#include "device/propertylist/BinaryPlistBuilder.h"

namespace bench {
namespace {

using Builder = device::BinaryPlistBuilder;
using Index = Builder::Index;
using Entries = std::vector<std::pair<Index, Index>>;

std::string Repeated(std::string_view unit, std::size_t count) {
  std::string out;
  out.reserve(unit.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += unit;
  return out;
}

std::string Xml(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>" + entries +
         "</dict>\n</plist>\n";
}

const std::string kText = "<key>Text</key><string>#FF0000</string>";

// A binary root of `entries` and then Text, so that every key before it is compared.
std::string BinaryWith(Builder& b, Entries entries) {
  entries.emplace_back(b.Ascii("Text"), b.Ascii("#FF0000"));
  return b.Build(b.Dictionary(entries));
}

struct Shape {
  const char* name;
  const char* key;
  // The document with `count` of its repeated part.
  std::function<std::string(std::size_t count)> make;
};

// One row per shape, read top to bottom: what repeats, and in which form.
const Shape kShapes[] = {
    // The switch as UTF-16 ideographic spaces then "y": the truth is only worked out when asked.
    {"binary-switch-of-spaces", "enabled",
     [](std::size_t count) {
       Builder b;
       std::u16string spaces(count, u'\u3000');
       return BinaryWith(b, {{b.Ascii("enabled"), b.Utf16(spaces + u"y")}});
     }},
    // The switch as UTF-16 zeros after a sign: every zero is written out before the truth.
    {"binary-switch-of-zeros", "enabled",
     [](std::size_t count) {
       Builder b;
       return BinaryWith(
           b, {{b.Ascii("enabled"), b.Utf16(u"+" + std::u16string(count, u'0') + u"1")}});
     }},
    // A root of many entries, each key its own object.
    {"binary-many-entries", "Text",
     [](std::size_t count) {
       Builder b;
       const Index value = b.Boolean(true);
       Entries entries;
       for (std::size_t i = 0; i < count; ++i)
         entries.emplace_back(b.Ascii(std::to_string(i)), value);
       return BinaryWith(b, entries);
     }},
    // A root of one key and one value referred to over and over: two bytes an entry.
    {"binary-one-entry-repeated", "Text",
     [](std::size_t count) {
       Builder b;
       return BinaryWith(b, Entries(count, {b.Ascii("Texx"), b.Boolean(true)}));
     }},
    // An array of references to one other array ("refs" to "ref1").
    {"binary-shared-array", "Text",
     [](std::size_t count) {
       Builder b;
       const Index shared = b.Array({b.Ascii("leaf"), b.Boolean(true)});
       return BinaryWith(b, {{b.Ascii("refs"), b.Array(std::vector<Index>(count, shared))},
                             {b.Ascii("ref1"), shared}});
     }},
    // Many dictionaries whose keys and values are the same few objects.
    {"binary-shared-values", "Text",
     [](std::size_t count) {
       Builder b;
       const Entries shared = {{b.Ascii("a"), b.Boolean(true)}, {b.Ascii("b"), b.Array({})}};
       std::vector<Index> dictionaries;
       for (std::size_t i = 0; i < count; ++i) dictionaries.push_back(b.Dictionary(shared));
       return BinaryWith(b, {{b.Ascii("d"), b.Array(dictionaries)}});
     }},
    // An array of many small objects, each met once.
    {"binary-many-objects", "Text",
     [](std::size_t count) {
       Builder b;
       std::vector<Index> objects;
       for (std::size_t i = 0; i < count; ++i) objects.push_back(b.Boolean(i % 2 == 0));
       return BinaryWith(b, {{b.Ascii("a"), b.Array(objects)}});
     }},
    // An array of many one-element arrays, each holding an object of its own: every one is a
    // container met for the first time, opened and closed, and the walk of the outer array is
    // taken up again after each.
    {"binary-many-small-arrays", "Text",
     [](std::size_t count) {
       Builder b;
       std::vector<Index> arrays;
       for (std::size_t i = 0; i < count; ++i) arrays.push_back(b.Array({b.Boolean(true)}));
       return BinaryWith(b, {{b.Ascii("a"), b.Array(arrays)}});
     }},
    // An array of many empty arrays, each its own object: the most containers a byte can hold.
    {"binary-many-empty-arrays", "Text",
     [](std::size_t count) {
       Builder b;
       std::vector<Index> arrays;
       for (std::size_t i = 0; i < count; ++i) arrays.push_back(b.Array({}));
       return BinaryWith(b, {{b.Ascii("a"), b.Array(arrays)}});
     }},
    // Root keys in UTF-16, each compared with the key looked up.
    {"binary-utf16-keys", "Text",
     [](std::size_t count) {
       Builder b;
       const Index value = b.Boolean(true);
       Entries entries;
       for (std::size_t i = 0; i < count; ++i) entries.emplace_back(b.Utf16(u"Tex\u00E9"), value);
       return BinaryWith(b, entries);
     }},
    {"xml-cdata-of-brackets", "Text",
     [](std::size_t count) {
       return Xml("<key>Text</key><string><![CDATA[" + Repeated("]]", count) + "]]></string>");
     }},
    {"xml-character-references-in-keys", "Text",
     [](std::size_t count) {
       return Xml(Repeated("<key>&#84;&#101;&#120;&#116;&#116;</key><true/>", count) + kText);
     }},
    {"xml-comment-of-dashes", "Text",
     [](std::size_t count) { return Xml(kText + "<!--" + Repeated("-", count) + "-->"); }},
    {"xml-comment-of-arrows", "Text",
     [](std::size_t count) { return Xml(kText + "<!--" + Repeated("->", count) + "-->"); }},
    {"xml-entities-in-a-string", "Text",
     [](std::size_t count) {
       return Xml(kText + "<key>x</key><string>" + Repeated("&lt;", count) + "</string>");
     }},
    // Entities spelled as libplist also takes them, with more letters after the name, and numeric
    // references with white space before the number: neither is written as usual.
    {"xml-entities-spelled-unusually", "Text",
     [](std::size_t count) {
       return Xml(kText + "<key>x</key><string>" + Repeated("&ltx;", count) + "</string>");
     }},
    {"xml-references-spelled-unusually", "Text",
     [](std::size_t count) {
       return Xml(kText + "<key>x</key><string>" + Repeated("&# 60;", count) + "</string>");
     }},
    {"xml-many-small-elements", "Text",
     [](std::size_t count) {
       return Xml(kText + "<key>x</key><array>" + Repeated("<true/>", count) + "</array>");
     }},
    {"xml-deep-nesting", "Text",
     [](std::size_t count) {
       const std::string deep = Repeated("<array>", 500) + Repeated("</array>", 500);
       return Xml(kText + "<key>x</key><array>" + Repeated(deep, count) + "</array>");
     }},
    {"xml-instructions-with-quotes", "Text",
     [](std::size_t count) { return Xml(kText + Repeated("<?a \"?>\"?>", count)); }},
    {"xml-nul-bytes-in-a-string", "Text",
     [](std::size_t count) {
       return Xml(kText + "<key>x</key><string>" + std::string(count, '\0') + "</string>");
     }},
    {"xml-space", "Text", [](std::size_t count) { return Xml(kText + std::string(count, ' ')); }},
    {"xml-many-entries", "Text",
     [](std::size_t count) { return Xml(kText + Repeated("<key>Texu</key><true/>", count)); }},
    {"xml-switch-real-of-many-digits", "enabled",
     [](std::size_t count) {
       return Xml(kText + "<key>enabled</key><real>0." + std::string(count, '0') + "1</real>");
     }},
    {"xml-switch-of-spaces", "enabled",
     [](std::size_t count) {
       return Xml(kText + "<key>enabled</key><string>" + Repeated("\u3000", count) + "y</string>");
     }},
    {"xml-switch-of-references", "enabled",
     [](std::size_t count) {
       return Xml(kText + "<key>enabled</key><string>" + Repeated("&#x3000;", count) +
                  "y</string>");
     }},
};

// The shape with as many of its repeated part as fit in `size` bytes.
std::string Fitted(const Shape& shape, std::size_t size) {
  std::size_t fits = 1;
  std::size_t tooMany = 2;
  while (shape.make(tooMany).size() <= size) {
    fits = tooMany;
    tooMany *= 2;
  }
  while (tooMany - fits > 1) {
    const std::size_t middle = fits + (tooMany - fits) / 2;
    (shape.make(middle).size() <= size ? fits : tooMany) = middle;
  }
  return shape.make(fits);
}

}  // namespace

std::vector<HostileSettings> HostileSettingsOfSize(std::size_t size) {
  std::vector<HostileSettings> files;
  for (const Shape& shape : kShapes) files.push_back({shape.name, shape.key, Fitted(shape, size)});
  return files;
}

}  // namespace bench
