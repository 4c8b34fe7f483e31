#pragma once

#include <cstddef>

// The text inside one XML element of a property list, read exactly as libplist reads it, so that
// the settings reader accepts and refuses the same strings.
//
// An element's content is a run of segments: plain text, comments ("<!--" to the first "-->",
// which add nothing), and CDATA sections ("<![CDATA[" to the first "]]>", taken as they are). In
// plain text of strings and keys, entities are decoded: "&amp;", "&apos;", "&quot;", "&lt;",
// "&gt;", each also when more letters follow its name before the ";" ("&ampx;" is "&"), and
// numeric references "&#65;" or "&#x41;" of at most eight characters between "&" and ";", whose
// value lies in 1 to 0x10FFFF; anything else after "&" is an error, except a "&" that is the very
// last byte of its segment, which stays as it is. Each segment keeps its length, but from its
// first NUL byte on every byte is NUL and no entity there is decoded or checked.
//
// Each function passes over its text once, at a bounded cost per byte, whatever the text holds.
// Text whose entities are read must end where its document has a "<" or a NUL byte at `end`, as
// text in a document ends at its markup: that byte is read, and stops the reading of a number.
namespace umbravista::property_list {

// Whether the plain-text segment [begin, end) holds only sound entities. A caller that has seen
// that the segment holds no NUL byte says so in `seenWithoutNul`, which spares a search for one.
[[nodiscard]] bool EntitiesAreSound(const char* begin, const char* end,
                                    bool seenWithoutNul = false);

// Writes the segment [begin, end) to `out` with its entities decoded (when `decodeEntities`) and
// the bytes from its first NUL on made NUL; answers the end of what it wrote, or null when an
// entity is unsound (EntitiesAreSound), having written part of it. `out` may be `begin` or any
// place before it: the writing never overtakes the reading. `seenWithoutNul` is as for
// EntitiesAreSound.
char* WriteSegment(const char* begin, const char* end, char* out, bool decodeEntities,
                   bool seenWithoutNul = false);

// Writes the decoded content [begin, end) of one element, a run of segments whose markup has been
// checked, to `out` (at or before `begin`), and answers the end of what it wrote, or null when an
// entity is unsound. Entities are decoded in plain text when `decodeEntities` is set (strings and
// keys), never in CDATA; this checks them in the same pass, so text that is decoded need not be
// checked first.
char* WriteContent(const char* begin, const char* end, char* out, bool decodeEntities);

}  // namespace umbravista::property_list
