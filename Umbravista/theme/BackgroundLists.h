#pragma once

#include <array>

#include "theme/FixedColours.h"

// The colours that the background replacements recognise. Each list serves one step only; a
// colour in one list says nothing about the others ("000000" passes the setter but is repainted
// on layout, "FF0000" is swapped by the setter but left alone on layout). Order is the order of
// comparison.
namespace umbravista {

// Requested backgrounds that the setter swaps for the main background colour.
inline constexpr std::array<Colour, 15> kSetterSwapList = {
    Hex("FFFFFF"), Hex("EEEEEE"), Hex("EAEDEF"), Hex("252525"), Hex("F5F5F5"),
    Hex("FF0000"), Hex("CCCCCC"), Hex("F7F8F9"), Hex("F7F7F7"), Hex("FAFAF9"),
    Hex("EFEFEF"), Hex("FAFAFA"), Hex("F3F5F8"), Hex("F9F9F9"), Hex("DFEFFF"),
};

// A requested background that the setter refuses: the view keeps what it had.
inline constexpr Colour kDroppedBackgroundColour = Hex("262626");

// Backgrounds that a layout pass repaints with the main background colour.
inline constexpr std::array<Colour, 20> kLayoutBackgroundList = {
    Hex("FFFFFF"),
    Hex("F5F5F5"),
    Hex("EEEEEE"),
    Hex("E5E5E5"),
    Colour{0.97, 0.97, 0.97, 0.9},
    Colour{0.9, 0.9, 0.9, 0.1},
    Colour{1.0, 1.0, 1.0, 0.82},
    Colour{1.0, 1.0, 1.0, 0.08},
    Colour{1.0, 1.0, 1.0, 0.5},
    Colour{1.0, 1.0, 1.0, 0.3},
    Hex("EBEBEB"),
    Hex("EAEDEF"),
    Hex("000000"),
    Hex("252525"),
    Hex("F1F1F1"),
    Hex("F7F8F9"),
    Hex("FAFAFA"),
    Hex("DFE3E7"),
    Hex("EFEFF4"),
    Hex("CED4DA"),
};

// Layer border colours that a layout pass repaints with the main background colour.
inline constexpr std::array<Colour, 5> kLayoutBorderList = {
    Hex("FFFFFF"), Hex("CCCCCC"), Hex("EEEEEE"), Hex("DFE3E7"), Hex("A05DCD"),
};

}  // namespace umbravista
