#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "device/propertylist/PropertyListBytes.h"
#include "settings/SettingsKeys.h"
#include "tests/settings/ReferenceReading.h"

// The reader against libplist on a corpus of varied documents in both forms, each also damaged in
// small ways, as a user's hand or a broken copy would damage it.
namespace umbravista::testkit {
namespace {

constexpr int kDocuments = 600;
constexpr int kDamagedCopies = 12;

class DocumentMaker {
 public:
  explicit DocumentMaker(std::uint32_t seed) : random_(seed) {}

  // A dictionary root with some of the library's keys, others, and values of every kind.
  plist_t Settings() {
    plist_t root = plist_new_dict();
    const int entries = Below(12);
    for (int i = 0; i < entries; ++i) plist_dict_set_item(root, Key().c_str(), Value(0));
    return root;
  }

  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

  std::mt19937& Random() { return random_; }

 private:
  std::string Key() {
    if (Below(2) == 0) return std::string(kSettingsKeys[static_cast<std::size_t>(Below(9))]);
    constexpr const char* kOthers[] = {"Heart", "enabled ", "Main",
                                       "",      "k&<>",     "\xC3\xA9t\xC3\xA9"};
    return kOthers[Below(6)];
  }

  std::string Text() {
    constexpr const char* kTexts[] = {"#FF0000", "#ffffff",      "YES",        "0",
                                      " 1",      "#12345",       "&amp;",      "<x>",
                                      "",        "\xE2\x82\xAC", "#FF0000:0.5"};
    return kTexts[Below(11)];
  }

  plist_t Value(int depth) {
    switch (Below(depth < 4 ? 9 : 7)) {
      case 0:
        return plist_new_string(Text().c_str());
      case 1:
        return plist_new_bool(static_cast<std::uint8_t>(Below(2)));
      case 2: {
        constexpr std::uint64_t kIntegers[] = {0, 1, 2, 255, 0xFFFFFFFFFFFFFFFFULL, 1ULL << 63};
        return plist_new_uint(kIntegers[Below(6)]);
      }
      case 3: {
        constexpr double kReals[] = {0.0, -0.0, 0.5, 1e300, -2.25};
        return plist_new_real(kReals[Below(5)]);
      }
      case 4:
        return plist_new_data("\x00\x01\x02", static_cast<std::uint64_t>(Below(4)));
      case 5:
        return plist_new_date(Below(1000000), 0);
      case 6:
        return plist_new_string(Key().c_str());
      case 7: {
        plist_t array = plist_new_array();
        for (int i = Below(4); i > 0; --i) plist_array_append_item(array, Value(depth + 1));
        return array;
      }
      default: {
        plist_t dictionary = plist_new_dict();
        for (int i = Below(4); i > 0; --i) {
          plist_dict_set_item(dictionary, Key().c_str(), Value(depth + 1));
        }
        return dictionary;
      }
    }
  }

  std::mt19937 random_;
};

// One small damage: a byte changed, a run removed or repeated, the end cut off, or a fragment of
// markup dropped in.
std::string Damaged(std::string document, DocumentMaker& maker) {
  if (document.empty()) return document;
  const auto at = static_cast<std::size_t>(maker.Below(static_cast<int>(document.size())));
  const std::size_t run = 1 + static_cast<std::size_t>(maker.Below(8));
  constexpr const char* kFragments[] = {
      "<dict>",    "</dict>", "<key>Text</key>", "<!--",    "-->", "&#",
      "<![CDATA[", "]]>",     "<plist>",         "<dict/>", "\"",  "\0"};
  switch (maker.Below(5)) {
    case 0:
      document[at] = static_cast<char>(maker.Below(256));
      break;
    case 1:
      document.erase(at, run);
      break;
    case 2:
      document.insert(at, document.substr(at, run));
      break;
    case 3:
      document.resize(at);
      break;
    default:
      document.insert(at, kFragments[maker.Below(12)]);
      break;
  }
  return document;
}

TEST(ReferenceReadingTest, AgreesWithLibplistOnVariedAndDamagedDocuments) {
  DocumentMaker maker(20261206);
  int compared = 0;
  for (int index = 0; index < kDocuments; ++index) {
    plist_t root = maker.Settings();
    for (const bool binary : {false, true}) {
      const std::string document =
          device::PropertyListBytes(plist_copy(root), binary ? device::PropertyListFormat::kBinary
                                                             : device::PropertyListFormat::kXml);
      std::vector<std::string> variants = {document};
      for (int copy = 0; copy < kDamagedCopies; ++copy)
        variants.push_back(Damaged(document, maker));
      for (const std::string& variant : variants) {
        const ComparisonResult result = CompareWithReference(variant);
        ASSERT_NE(result.comparison, Comparison::kDisagree)
            << result.difference << "\ndocument (" << variant.size() << " bytes): " << variant;
        if (result.comparison == Comparison::kAgree) ++compared;
      }
    }
    plist_free(root);
  }
  // Nearly every document stays within what libplist can be asked about.
  EXPECT_GT(compared, kDocuments * 2 * (kDamagedCopies + 1) * 9 / 10);
}

// Every document the fuzzer kept, and those written by hand beside them: the quirks of libplist's
// XML scanner (space and markup inside values, odd end tags, declarations) live mostly here.
TEST(ReferenceReadingTest, AgreesWithLibplistOnTheFuzzersCorpus) {
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(UMBRAVISTA_READER_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string document{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
    const ComparisonResult result = CompareWithReference(document);
    EXPECT_NE(result.comparison, Comparison::kDisagree)
        << entry.path().filename() << ": " << result.difference;
    if (result.comparison == Comparison::kReferenceTruncatesTrailer) {
      EXPECT_TRUE(entry.path().filename() == "quirk-object-count-past-32-bits.bin" ||
                  entry.path().filename() == "quirk-table-offset-past-32-bits.bin")
          << entry.path().filename();
    }
    ++compared;
  }
  EXPECT_GT(compared, 50) << "the corpus is missing";
}

}  // namespace
}  // namespace umbravista::testkit
