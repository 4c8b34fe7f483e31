#include "propertylist/PropertyListReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "device/propertylist/BinaryPlistBuilder.h"
#include "propertylist/TruthValue.h"
#include "tests/settings/ReferenceReading.h"

namespace umbravista {
namespace {

using device::BinaryPlistBuilder;

// What a lookup of `key` in a fresh copy of `document` answers, described while the copy lives.
std::string Read(const std::string& document, std::string_view key,
                 Decoding decoding = Decoding::kValue) {
  std::vector<char> bytes(document.begin(), document.end());
  std::vector<std::uint64_t> work(WorkBytesFor(document.size()) / 8 + 1);
  return testkit::Describe(
      LookUpKey({bytes, std::as_writable_bytes(std::span(work))}, key, decoding));
}

struct ReaderCase {
  const char* what;
  std::string document;
  const char* key;
  std::string expected;
  // Where the reader departs from libplist on purpose (a NUL in a key, nesting past the limit),
  // the case is not held against it.
  bool likeLibplist = true;
};

void ExpectReads(const std::vector<ReaderCase>& cases) {
  for (const ReaderCase& testCase : cases) {
    SCOPED_TRACE(::testing::Message() << testCase.what << "\ndocument: " << testCase.document);
    EXPECT_EQ(Read(testCase.document, testCase.key), testCase.expected);
    // Asked only whether the key is there, the reader checks as much and answers the same kind.
    const std::string kind = Read(testCase.document, testCase.key, Decoding::kKind);
    EXPECT_EQ(kind.substr(0, kind.find(' ')),
              testCase.expected.substr(0, testCase.expected.find(' ')));
    if (testCase.likeLibplist) {
      const testkit::ComparisonResult reference = testkit::CompareWithReference(testCase.document);
      EXPECT_NE(reference.comparison, testkit::Comparison::kDisagree) << reference.difference;
    }
  }
}

std::string Xml(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD "
         "PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
         "version=\"1.0\">\n" +
         body + "\n</plist>\n";
}

std::string Dict(const std::string& entries) {
  return Xml("<dict>" + entries + "</dict>");
}

std::string Entry(const std::string& key, const std::string& value) {
  return "<key>" + key + "</key>" + value;
}

std::string NestedArrays(int depth, const std::string& inside) {
  std::string open;
  std::string close;
  for (int level = 0; level < depth; ++level) {
    open += "<array>";
    close += "</array>";
  }
  return open + inside + close;
}

TEST(PropertyListReaderTest, ReadsXmlAsLibplistDoes) {
  using std::string_literals::operator""s;
  ExpectReads({
      {"a plain string", Dict(Entry("MainBGColor", "<string>#101010</string>")), "MainBGColor",
       "string \"#101010\""},
      {"a key the file lacks", Dict(Entry("MainBGColor", "<string>#101010</string>")), "Text",
       "absent"},
      {"keys are case-sensitive", Dict(Entry("mainbgcolor", "<string>#101010</string>")),
       "MainBGColor", "absent"},
      {"comments and instructions between everything",
       "<?xml version=\"1.0\"?><!-- a --><plist><!-- b --><dict><!--c--><key>Text</key><!-- d -->"
       "<?pi x?><string>#FFFFFF</string><!-- e --></dict></plist>",
       "Text", "string \"#FFFFFF\""},
      {"a comment inside a string", Dict(Entry("Text", "<string>#FF<!-- x -->0000</string>")),
       "Text", "string \"#FF0000\""},
      {"no comment: one dash after \"<!x\"", Dict(Entry("Text", "<string>#F<!x- -->0</string>")),
       "Text", "not a property list"},
      {"end tags swapped in a nested pair", Dict(Entry("a", "<array><dict></array></dict>")),
       "Text", "not a property list"},
      {"CDATA pieces", Dict(Entry("Text", "<string><![CDATA[#FF]]>00<![CDATA[0&0]]></string>")),
       "Text", "string \"#FF000&0\""},
      {"entities in key and value",
       Dict(Entry("Main&#66;GColor", "<string>&#x23;AB&lt;&amp;&gt;&quot;&apos;</string>")),
       "MainBGColor", R"(string "#AB<&>"'")"},
      {"an entity known by its start", Dict(Entry("Text", "<string>&ampersand;</string>")), "Text",
       "string \"&\""},
      {"entities far apart in a string only checked, the last with a \"&\" in its name",
       Dict(Entry("Text", "<string>#FFF</string>") +
            Entry("x", "<string>&lt;abcdefghijklmnop&gt;&ltxxxxx&x;</string>")),
       "Text", "string \"#FFF\""},
      {"a bad entity right after a sound one, in a string only checked",
       Dict(Entry("Text", "<string>#FFF</string>") +
            Entry("x", "<string>&lt;&x;0123456789abcdef</string>")),
       "Text", "not a property list"},
      {"a numeric reference with space and sign", Dict(Entry("Text", "<string>&# +65;</string>")),
       "Text", "string \"A\""},
      {"a letter after a signed decimal reference's digits",
       Dict(Entry("Text", "<string>&#+6a;</string>")), "Text", "not a property list"},
      {"upper-case hexadecimal references", Dict(Entry("Text", "<string>&#X41;&#X6a;</string>")),
       "Text", "string \"Aj\""},
      {"a reference past the basic plane", Dict(Entry("Text", "<string>&#x1F600;</string>")),
       "Text", R"(string "\xF0\x9F\x98\x80")"},
      {"a surrogate pair as two references, each written alone",
       Dict(Entry("Text", "<string>&#xD83D;&#xDE00;</string>")), "Text",
       R"(string "\xED\xA0\xBD\xED\xB8\x80")"},
      {"a lone low surrogate", Dict(Entry("Text", "<string>&#56320;</string>")), "Text",
       R"(string "\xED\xB0\x80")"},
      {"CDATA holding markup, entities and brackets",
       Dict(Entry("Text", "<string><![CDATA[<a>&amp;]]]]><![CDATA[>]]></string>")), "Text",
       "string \"<a>&amp;]]>\""},
      {"an empty CDATA section", Dict(Entry("Text", "<string>x<![CDATA[]]>y</string>")), "Text",
       "string \"xy\""},
      {"CDATA in a key", Dict(Entry("<![CDATA[Te]]>xt", "<string>#ABC</string>")), "Text",
       "string \"#ABC\""},
      {"closers' bytes that close nothing",
       Dict(Entry("Text",
                  "<string>a<!-- ->--x> --->"
                  "<![CDATA[]>]]]x>]]>b</string>")),
       "Text", "string \"a]>]]]x>b\""},
      {"a hexadecimal reference with its own 0x", Dict(Entry("Text", "<string>&#x0x41;</string>")),
       "Text", "string \"A\""},
      {"a 0x after white space in a decimal reference",
       Dict(Entry("Text", "<string>&# 0x41;</string>")), "Text", "not a property list"},
      {"a negative reference", Dict(Entry("Text", "<string>&#-65;</string>")), "Text",
       "not a property list"},
      {"CRLF line ends, kept inside a string",
       "<?xml version=\"1.0\"?>\r\n<plist version=\"1.0\">\r\n<dict>\r\n\t<key>Text</key>\r\n"
       "\t<string>#FFF\r\n</string>\r\n</dict>\r\n</plist>\r\n",
       "Text", R"(string "#FFF\x0D\x0A")"},
      {"a lone ampersand at the end", Dict(Entry("Text", "<string>a&</string>")), "Text",
       "string \"a&\""},
      {"a lone ampersand inside", Dict(Entry("Text", "<string>a&b</string>")), "Text",
       "not a property list"},
      {"a reference to NUL", Dict(Entry("Text", "<string>&#0;</string>")), "Text",
       "not a property list"},
      {"a reference past Unicode", Dict(Entry("Text", "<string>&#x110000;</string>")), "Text",
       "not a property list"},
      {"white space kept in a string", Dict(Entry("Text", "<string> #FFF \n</string>")), "Text",
       R"(string " #FFF \x0A")"},
      {"a bad entity after the key",
       Dict(Entry("Text", "<string>#FFF</string>") + Entry("x", "<string>&bogus;</string>")),
       "Text", "not a property list"},
      {"a bad element after the key",
       Dict(Entry("Text", "<string>#FFF</string>") + Entry("x", "<integer>1</integr>")), "Text",
       "not a property list"},
      {"an unknown element", Dict(Entry("Text", "<colour>#FFF</colour>")), "Text",
       "not a property list"},
      {"the last of two keys",
       Dict(Entry("Text", "<string>one</string>") + Entry("Text", "<string>two</string>")), "Text",
       "string \"two\""},
      {"a negative hex integer", Dict(Entry("enabled", "<integer> -0x10</integer>")), "enabled",
       "integer 18446744073709551600"},
      {"an octal integer", Dict(Entry("enabled", "<integer>+017</integer>")), "enabled",
       "integer 15"},
      {"the largest integer", Dict(Entry("enabled", "<integer>18446744073709551615</integer>")),
       "enabled", "integer 18446744073709551615"},
      {"an integer past 64 bits", Dict(Entry("enabled", "<integer>99999999999999999999</integer>")),
       "enabled", "integer 18446744073709551615"},
      {"two minus signs", Dict(Entry("enabled", "<integer>--5</integer>")), "enabled", "integer 5"},
      {"an empty integer", Dict(Entry("enabled", "<integer></integer>")), "enabled", "integer 0"},
      {"an integer of letters", Dict(Entry("enabled", "<integer>yes</integer>")), "enabled",
       "integer 0"},
      {"a real", Dict(Entry("enabled", "<real>1.5e3</real>")), "enabled", "real 1500"},
      {"a real in pieces", Dict(Entry("enabled", "<real> .<!-- -->5</real>")), "enabled",
       "real 0.5"},
      {"an empty real", Dict(Entry("enabled", "<real/>")), "enabled", "real 0"},
      {"true", Dict(Entry("enabled", "<true/>")), "enabled", "boolean true"},
      {"false with content", Dict(Entry("enabled", "<false>whatever</false>")), "enabled",
       "boolean false"},
      {"a date", Dict(Entry("enabled", "<date>2020-01-01T00:00:00Z</date>")), "enabled", "date"},
      {"data", Dict(Entry("enabled", "<data>AAEC</data>")), "enabled", "data"},
      {"containers before and after the key",
       Dict(Entry("a", "<array><dict><key>Text</key><string>inner</string></dict></array>") +
            Entry("Text", "<string>outer</string>") +
            Entry("b", "<dict><key>Text</key><string>later</string></dict>")),
       "Text", "string \"outer\""},
      {"no plist element, and what follows the root unread",
       "<dict><key>Text</key><string>x</string></dict><garbage", "Text", "string \"x\""},
      {"an empty root that takes what follows", "<dict/><key>Text</key><string>#123456</string>",
       "Text", "string \"#123456\""},
      {"a key left without its value", Dict(Entry("Text", "")), "Text", "absent"},
      {"a value without a key", Dict("<string>#FFF</string>"), "Text", "not a property list"},
      {"a key where a value should be", Dict(Entry("Text", "<key>#ABC</key>")), "Text",
       "string \"#ABC\""},
      {"an empty key element is a string", Dict(Entry("Text", "<key/>")), "Text", "string \"\""},
      {"a root array", Xml("<array><string>x</string></array>"), "Text", "root: array"},
      {"a root string", Xml("<string>x</string>"), "Text", "root: string"},
      {"an unclosed root", "<plist><dict><key>Text</key><string>x</string>", "Text",
       "not a property list"},
      {"a root string cut off before its end tag", "<plist><string>abcdefgh", "Text",
       "not a property list"},
      {"a root string cut off inside its end tag", "<plist><string>abc</str", "Text",
       "not a property list"},
      {"text between elements", Dict("x" + Entry("Text", "<string>y</string>")), "Text",
       "not a property list"},
      {"an empty document", "", "Text", "not a property list"},
      {"a document under eight bytes", "<dict/>", "Text", "not a property list"},
      {"declared entities are not expanded",
       "<!DOCTYPE plist [ <!ENTITY lol \"#FFFFFF\"> ]><plist><dict><key>Text</key>"
       "<string>&lol;</string></dict></plist>",
       "Text", "not a property list"},
      {"a NUL in a string keeps its place, and zeroes what follows in its piece",
       Dict(Entry("Text", "<string>#FF"s + '\0' + "AB<!-- -->CD</string>")), "Text",
       R"(string "#FF\x00\x00\x00CD")"},
      {"a NUL in a key is part of the key",
       Dict(Entry("Text"s + '\0' + "x", "<string>#FFF</string>")), "Text", "absent", false},
      {"512 levels", Dict(Entry("a", NestedArrays(511, ""))), "Text", "absent"},
      {"513 levels", Dict(Entry("a", NestedArrays(512, ""))), "Text", "nested too deep", false},
      {"513 levels of empty containers", Dict(Entry("a", NestedArrays(511, "<array/>"))), "Text",
       "nested too deep", false},
  });
}

// Builds a root dictionary of ASCII keys and the values made by `values`, which adds objects.
template <typename MakeValues>
std::string BinaryDictionary(MakeValues makeValues) {
  BinaryPlistBuilder builder;
  std::vector<std::pair<BinaryPlistBuilder::Index, BinaryPlistBuilder::Index>> entries =
      makeValues(builder);
  return builder.Build(builder.Dictionary(entries));
}

using Builder = BinaryPlistBuilder;
using Entries = std::vector<std::pair<Builder::Index, Builder::Index>>;

// A root dictionary holding under `key` the one object that `value` adds.
std::string Binary(const char* key, Builder::Index (*value)(Builder&)) {
  Builder b;
  const Builder::Index keyObject = b.Ascii(key);
  return b.Build(b.Dictionary({{keyObject, value(b)}}));
}

// `document` with its offsets rewritten `width` bytes wide, more than eight: the bytes before the
// last eight are set, which the reading of an offset must pass over.
std::string WithWideOffsets(const std::string& document, std::size_t width) {
  const std::size_t trailer = document.size() - 32;
  const auto number = [&](std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) value = (value << 8) | std::uint8_t(document[at + i]);
    return value;
  };
  const std::size_t size = std::uint8_t(document[trailer + 6]);
  const std::size_t table = number(trailer + 24);
  std::string widened = document.substr(0, table);
  for (std::size_t i = 0; i < number(trailer + 8); ++i) {
    widened += std::string(width - 8, '\xFF') + std::string(8 - size, '\0') +
               document.substr(table + i * size, size);
  }
  std::string ending = document.substr(trailer);
  ending[6] = static_cast<char>(width);
  return widened + ending;
}

TEST(PropertyListReaderTest, ReadsBinaryAsLibplistDoesAndEachObjectOnce) {
  using std::string_literals::operator""s;
  ExpectReads({
      {"an ASCII string", Binary("MainBGColor", [](Builder& b) { return b.Ascii("#101010"); }),
       "MainBGColor", "string \"#101010\""},
      {"UTF-16 keys and value", BinaryDictionary([](Builder& b) {
         return Entries{{b.Utf16(u"Tex"), b.Ascii("")},
                        {b.Utf16(u"Text"), b.Utf16(u"#\u00C0\U0001F600")}};
       }),
       "Text", R"(string "#\xC3\x80\xF0\x9F\x98\x80")"},
      {"a UTF-16 key of the first character past ASCII", BinaryDictionary([](Builder& b) {
         return Entries{{b.Utf16(u"\u0080"), b.Ascii("#ABC")}};
       }),
       "\xC2\x80", "string \"#ABC\""},
      {"a UTF-16 key that is the key looked up once two high surrogates are dropped",
       BinaryDictionary([](Builder& b) {
         return Entries{{b.Utf16(u"Tex\xD800\xD800t"), b.Ascii("#ABC")}};
       }),
       "Text", "string \"#ABC\""},
      {"empty UTF-16 text", Binary("Text", [](Builder& b) { return b.Utf16(u""); }), "Text",
       "not a property list"},
      {"the first of two keys", BinaryDictionary([](Builder& b) {
         return Entries{{b.Ascii("Text"), b.Ascii("one")}, {b.Ascii("Text"), b.Ascii("two")}};
       }),
       "Text", "string \"one\""},
      {"a key that is no string", BinaryDictionary([](Builder& b) {
         return Entries{{b.Integer(1), b.Ascii("one")}};
       }),
       "Text", "not a property list"},
      {"a bad object after the key", BinaryDictionary([](Builder& b) {
         return Entries{{b.Ascii("Text"), b.Ascii("#FFF")},
                        {b.Ascii("x"), b.Raw(std::string(1, 0x70))}};
       }),
       "Text", "not a property list"},
      {"a null object", Binary("Text", [](Builder& b) { return b.Raw("\x00"s); }), "Text",
       "not a property list"},
      {"a simple object just below false",
       Binary("Text", [](Builder& b) { return b.Array({b.Raw("\x07"s)}); }), "Text",
       "not a property list"},
      {"a value's reference in the offset table, naming a sound object",
       [] {
         Builder b;
         b.Ascii("Text");
         for (int i = 0; i < 8; ++i) b.Boolean(true);
         return b.Build(b.Raw("\xD1\x00"s));
       }(),
       "Text", "not a property list"},
      {"a bad object nothing refers to", BinaryDictionary([](Builder& b) {
         b.Raw(std::string(1, 0x70));
         return Entries{{b.Ascii("Text"), b.Ascii("#FFF")}};
       }),
       "Text", "string \"#FFF\""},
      {"a 16-byte integer keeps its low 64 bits", BinaryDictionary([](Builder& b) {
         return Entries{
             {b.Ascii("enabled"),
              b.Raw("\x14\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\x07"s)}};
       }),
       "enabled", "integer 7"},
      {"a 4-byte real",
       Binary("enabled", [](Builder& b) { return b.Raw("\x22\x3F\xC0\x00\x00"s); }), "enabled",
       "real 1.5"},
      {"a UID", Binary("enabled", [](Builder& b) { return b.Raw("\x80\x05"); }), "enabled", "uid"},
      {"a NUL in an ASCII string is part of it",
       Binary("Text", [](Builder& b) { return b.Ascii("#FF\0ABC"s); }), "Text",
       R"(string "#FF\x00ABC")"},
      {"a NUL in a key is part of it", BinaryDictionary([](Builder& b) {
         return Entries{{b.Ascii("Text\0x"s), b.Ascii("#FFF")}};
       }),
       "Text", "absent", false},
      {"a NUL in UTF-16 text is part of it",
       Binary("Text", [](Builder& b) { return b.Utf16(std::u16string(u"#F\0\u00C0", 4)); }), "Text",
       R"(string "#F\x00\xC3\x80")", false},
      {"a set", BinaryDictionary([](Builder& b) {
         return Entries{{b.Ascii("enabled"), b.Set({b.Ascii("x")})},
                        {b.Ascii("Text"), b.Ascii("y")}};
       }),
       "Text", "string \"y\""},
      {"offsets of three bytes", BinaryDictionary([](Builder& b) {
         return Entries{{b.Ascii("pad"), b.Ascii(std::string(70000, 'x'))},
                        {b.Ascii("Text"), b.Ascii("#ABCDEF")}};
       }),
       "Text", "string \"#ABCDEF\""},
      // The innermost array too large to be settled without being opened, so that the limit is
      // met where a container is opened.
      {"512 levels", BinaryDictionary([](Builder& b) {
         Builder::Index inner = b.Array(std::vector<Builder::Index>(15, b.Boolean(true)));
         for (int level = 2; level < 512; ++level) inner = b.Array({inner});
         return Entries{{b.Ascii("a"), inner}};
       }),
       "Text", "absent"},
      {"513 levels", BinaryDictionary([](Builder& b) {
         Builder::Index inner = b.Array({});
         for (int level = 2; level < 513; ++level) inner = b.Array({inner});
         return Entries{{b.Ascii("a"), inner}};
       }),
       "Text", "nested too deep", false},
      {"a root array, written last, its references ending where the offset table starts",
       [] {
         Builder b;
         return b.Build(b.Array({b.Boolean(true), b.Boolean(false)}));
       }(),
       "Text", "root: array"},
      {"two arrays that hold each other",
       [] {
         Builder b;
         const Builder::Index first = b.Array({});
         const Builder::Index second = b.Array({first});
         b.SetElements(first, {second});
         return b.Build(b.Dictionary({{b.Ascii("Text"), b.Ascii("#FFF")}, {b.Ascii("a"), first}}));
       }(),
       "Text", "refers to itself"},
      {"an array that holds itself",
       [] {
         Builder b;
         const Builder::Index loop = b.Array({});
         b.SetElements(loop, {loop});
         return b.Build(b.Dictionary({{b.Ascii("a"), loop}}));
       }(),
       "Text", "refers to itself"},
      {"a dictionary that holds itself under a later key",
       [] {
         Builder b;
         const Builder::Index text = b.Ascii("Text");
         const Builder::Index value = b.Ascii("#FFF");
         const Builder::Index me = b.Ascii("me");
         const Builder::Index root = b.Count();  // The dictionary is added next.
         b.Dictionary({{text, value}, {me, root}});
         return b.Build(root);
       }(),
       "Text", "refers to itself"},
      {"a size that runs into the offset table",
       [] {
         // The last object before the table: a string whose size follows its marker as a 2-byte
         // integer, of which only one byte lies before the table.
         Builder b;
         const Builder::Index text = b.Ascii("Text");
         const Builder::Index root = b.Dictionary({{text, text + 2}});
         b.Raw("\x5F\x11\x00"s);
         return b.Build(root);
       }(),
       "Text", "not a property list"},
      {"a root named past the last object",
       [] {
         Builder b;
         std::string document = b.Build(b.Dictionary({}));
         document[document.size() - 9] = 1;  // The root's index, the trailer's second number.
         return document;
       }(),
       "Text", "not a property list"},
      {"references that run into the offset table",
       [] {
         // A dictionary of one entry whose value's reference would be the table's first byte.
         Builder b;
         b.Ascii("Text");
         return b.Build(b.Raw("\xD1\x00"s));
       }(),
       "Text", "not a property list"},
      {"a UID as the last object before the table",
       [] {
         Builder b;
         const Builder::Index key = b.Ascii("enabled");
         const Builder::Index root = b.Count();
         b.Dictionary({{key, root + 1}});
         b.Raw("\x80\x05");
         return b.Build(root);
       }(),
       "enabled", "uid"},
      {"offsets of twelve bytes",
       WithWideOffsets(
           BinaryDictionary([](Builder& b) {
             return Entries{{b.Ascii("x"), b.Ascii("#000")}, {b.Ascii("Text"), b.Ascii("#FFF")}};
           }),
           12),
       "Text", "string \"#FFF\""},
      {"a truncated file", BinaryDictionary([](Builder& b) {
                             return Entries{{b.Ascii("Text"), b.Ascii("#FFF")}};
                           }).substr(0, 30),
       "Text", "not a property list"},
  });
}

TEST(PropertyListReaderTest, MakesOnlyWhatDecidesTheTruthOfUtf16TextUtf8WhenOnlyItIsAsked) {
  struct Case {
    std::u16string text;
    std::string truthText;  // What a read of only the truth answers.
    bool truth;
  };
  const Case cases[] = {
      {u"\u3000\u3000y and more", "string \"y\"", true},
      {u"\u2000+0007 and more", "string \"+07\"", true},
      {u"\u3000-\u3000 1", R"(string "-\xE3\x80\x80")", false},
      {u"+-1", "string \"+-\"", false},
      {u"000+1", "string \"0+\"", false},
      {u"\u3000", "string \"\"", false},
      {u"0\U0001F600 1", R"(string "0\xF0\x9F\x98\x80")", false},
      // Two high surrogates are dropped, and leave white space before the "1" to pass over.
      {u"\u3000\xD800\xD800\u3000 1x", "string \"1\"", true},
  };
  for (const Case& c : cases) {
    Builder b;
    const Builder::Index key = b.Ascii("enabled");
    const std::string document = b.Build(b.Dictionary({{key, b.Utf16(c.text)}}));
    SCOPED_TRACE(c.truthText);
    EXPECT_EQ(Read(document, "enabled", Decoding::kTruth), c.truthText);
    for (const Decoding decoding : {Decoding::kValue, Decoding::kTruth}) {
      std::vector<char> bytes(document.begin(), document.end());
      std::vector<std::uint64_t> work(WorkBytesFor(document.size()) / 8 + 1);
      const SettingsLookup lookup =
          LookUpKey({bytes, std::as_writable_bytes(std::span(work))}, "enabled", decoding);
      ASSERT_TRUE(lookup.value);
      EXPECT_EQ(TruthValue(*lookup.value), c.truth);
    }
  }
}

TEST(PropertyListReaderTest, ChecksASharedObjectOnceHoweverManyPathsLeadToIt) {
  // Forty arrays, each referring twice to the next: 2^40 paths, which libplist would all expand.
  Builder b;
  Builder::Index next = b.Ascii("leaf");
  for (int level = 0; level < 40; ++level) next = b.Array({next, next});
  const std::string document =
      b.Build(b.Dictionary({{b.Ascii("junk"), next}, {b.Ascii("Text"), b.Ascii("#ABCDEF")}}));
  EXPECT_EQ(Read(document, "Text"), "string \"#ABCDEF\"");
  EXPECT_EQ(testkit::CompareWithReference(document).comparison,
            testkit::Comparison::kReferenceUnbounded);
}

TEST(PropertyListReaderTest, CountsNestingThroughSharedObjectsByTheirDeepestPath) {
  // A chain of 500 arrays reached at depth 2 and again at depth 14: only the deeper way is too
  // deep.
  const auto document = [](int detour) {
    Builder b;
    Builder::Index chain = b.Array({});
    for (int level = 1; level < 500; ++level) chain = b.Array({chain});
    Builder::Index around = chain;
    for (int level = 0; level < detour; ++level) around = b.Array({around});
    return b.Build(b.Dictionary({{b.Ascii("a"), chain}, {b.Ascii("b"), around}}));
  };
  EXPECT_EQ(Read(document(11), "Text"), "absent");
  EXPECT_EQ(Read(document(12), "Text"), "nested too deep");
}

TEST(PropertyListReaderTest, ListsTheRootEntriesInOrder) {
  // The key and the value hold while Visit runs, as promised: a UTF-16 value decoded over its
  // UTF-16 key would read here as the key.
  class Collector final : public RootEntryVisitor {
   public:
    void Visit(std::string_view key, const SettingsValue& value) override {
      seen += std::string(key) + "=" + std::string(value.text) + ";";
    }
    std::string seen;
  };
  for (const std::string& document :
       {Dict(Entry("b", "<string>2</string>") + Entry("a&amp;", "<string>1</string>") +
             Entry("b", "<string>3</string>")),
        BinaryDictionary([](Builder& b) {
          return Entries{{b.Ascii("b"), b.Ascii("2")},
                         {b.Utf16(u"a&"), b.Utf16(u"1")},
                         {b.Ascii("b"), b.Ascii("3")}};
        })}) {
    std::vector<char> bytes(document.begin(), document.end());
    std::vector<std::uint64_t> work(WorkBytesFor(document.size()) / 8 + 1);
    Collector collector;
    EXPECT_EQ(VisitRootEntries({bytes, std::as_writable_bytes(std::span(work))}, collector).verdict,
              Verdict::kSettings);
    EXPECT_EQ(collector.seen, "b=2;a&=1;b=3;");
  }
}

}  // namespace
}  // namespace umbravista
