// BackgroundLayout: quadratic gradient bands and the anchors of heading, subheading and footer.
#include "BackgroundLayout.h"

namespace background {

namespace {

std::uint32_t channel(std::uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFF;
}

// Wide arithmetic: (from - to) * m grows with the square of the window height.
std::uint32_t blend(std::uint32_t from, std::uint32_t to, std::int64_t m, std::int64_t gSquared)
{
    std::uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        std::int64_t f = channel(from, shift);
        std::int64_t t = channel(to, shift);
        std::int64_t value = f - ((f - t) * m) / gSquared;
        result |= (static_cast<std::uint32_t>(value) & 0xFF) << shift;
    }
    return result;
}

} // namespace

std::vector<Band> gradientBands(int y, int height, std::uint32_t from, std::uint32_t to)
{
    std::vector<Band> bands;
    int g = (5 * height) / 6;
    int top = height - g;
    bands.push_back({y, top, from});
    y += top;
    int band = g / 256 > 1 ? g / 256 : 1;
    std::int64_t gSquared = static_cast<std::int64_t>(g) * g;
    for (int l = g; l > 0; l -= band) {
        std::int64_t m = static_cast<std::int64_t>(g - l) * (g - l);
        bands.push_back({y, band, blend(from, to, m, gSquared)});
        y += band;
    }
    return bands;
}

std::vector<Band> windowBands(int height, bool gradientFill, std::uint32_t from, std::uint32_t to)
{
    if (!gradientFill)
        return {{0, height, from}};
    int q = (3 * height) / 4;
    std::vector<Band> bands{{0, height - q, from}};
    std::vector<Band> gradient = gradientBands(height - q, q, from, to);
    bands.insert(bands.end(), gradient.begin(), gradient.end());
    return bands;
}

Anchor textAnchor(TextLine line, const std::string& alignment, int width, int height, int headingLineHeight)
{
    char first = alignment.empty() ? '\0' : alignment[0];
    Anchor anchor{20, 0, alignLeft};
    if (first == '1')
        anchor = {width >> 1, 0, alignCenter};
    else if (first == '2')
        anchor = {width - 20, 0, alignRight};
    switch (line) {
    case Heading:
        anchor.y = 10;
        break;
    case Subheading:
        anchor.y = headingLineHeight + 20;
        break;
    case Footer:
        anchor.y = height - 10;
        anchor.align |= alignBottom;
        break;
    }
    return anchor;
}

} // namespace background
