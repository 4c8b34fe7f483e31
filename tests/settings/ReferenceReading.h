#pragma once

#include <string>
#include <string_view>

#include "propertylist/PropertyListReader.h"

// The settings reader compared with libplist 2.2, the reference it must agree with: the verdict
// (settings, no property list, a root of another kind), and for every key of the root dictionary
// and every key the library reads, whether the key is present, the kind of its value and the
// value. Shared by the differential test and the fuzzer.
namespace umbravista::testkit {

enum class Comparison {
  kAgree,
  kDisagree,
  // libplist was not asked: the document nests deeper than the reader's limit, or libplist would
  // expand it into more nodes than a test can afford (shared references, cycles it meets late).
  kReferenceUnbounded,
  // libplist's fault where size_t has 32 bits: it truncates a binary trailer's object count or
  // offset table position that does not fit (0x1c00000000000010 objects become 16) and reads a
  // document that the reader rightly refuses as no property list.
  kReferenceTruncatesTrailer,
};

struct ComparisonResult {
  Comparison comparison = Comparison::kAgree;
  std::string difference;  // For kDisagree: what differed, readable.
};

// Reads `document` with the reader (from a copy, since the reader may rewrite it) and, where it
// stays bounded, with libplist, and compares what they answer. The known deliberate differences
// are allowed for: a NUL byte in a string or key is part of it for the reader, while libplist cuts
// a binary ASCII string at it and compares keys only up to it.
ComparisonResult CompareWithReference(std::string_view document);

// A read in one readable line: "string \"#FF0000\"" (bytes outside printable ASCII as \xNN),
// "integer 5", "real 1.5", "boolean true", "date", "absent", "not a property list",
// "root: array", "nested too deep", "refers to itself".
std::string Describe(const SettingsLookup& lookup);

}  // namespace umbravista::testkit
