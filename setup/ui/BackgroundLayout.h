// BackgroundLayout: the arithmetic of the setup window's background, bands and text anchors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace background {

// Text alignment flags with the values SetTextAlign takes.
const std::uint32_t alignLeft = 0;
const std::uint32_t alignRight = 2;
const std::uint32_t alignCenter = 6;
const std::uint32_t alignTop = 0;
const std::uint32_t alignBottom = 8;

// One PatBlt of the whole window width: rows y to y + height - 1 in a COLORREF 0x00BBGGRR.
struct Band {
    int y;
    int height;
    std::uint32_t colour;
};

// The fills of a client area height rows high, top to bottom.
std::vector<Band> windowBands(int height, bool gradientFill, std::uint32_t from, std::uint32_t to);
// The fills of a gradient area of height rows starting at row y.
std::vector<Band> gradientBands(int y, int height, std::uint32_t from, std::uint32_t to);

enum TextLine { Heading, Subheading, Footer };

struct Anchor {
    int x;
    int y;
    std::uint32_t align;
};

// Where a line is drawn in a width x height client area; headingLineHeight is the heading
// font's tmHeight + tmExternalLeading. Only the first character of the alignment text counts.
Anchor textAnchor(TextLine line, const std::string& alignment, int width, int height, int headingLineHeight);

} // namespace background
