// BackgroundPainter: PatBlt bands from the band arithmetic, then heading, subheading, footer.
#include "BackgroundPainter.h"

#include <string>

#include "BackgroundLayout.h"
#include "SetupContext.h"

namespace {

void solid(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ previous = SelectObject(dc, brush);
    PatBlt(dc, x, y, width, height, PATCOPY);
    SelectObject(dc, previous);
    DeleteObject(brush);
}

struct LineSettings {
    background::TextLine line;
    const char* text;
    const char* font;
    const char* colour;
    const char* shadow;
    const char* alignment;
};

const LineSettings lines[] = {
    {background::Heading, "SWHeading", "SWHeadingFont", "SWHeadingColor", "SWHeading3D", "SWHeadingAlignment"},
    {background::Subheading, "SWSubheading", "SWSubheadingFont", "SWSubheadingColor", "SWSubheading3D",
     "SWSubheadingAlignment"},
    {background::Footer, "SWFooter", "SWFooterFont", "SWFooterColor", "SWFooter3D", "SWFooterAlignment"},
};

} // namespace

void BackgroundPainter::paint(HDC dc, int width, int height)
{
    COLORREF from = m_context.variableNumber("SWColorFrom", 16);
    COLORREF to = m_context.variableNumber("SWColorTo", 16);
    for (const background::Band& band :
         background::windowBands(height, m_context.variableIsTrue("SWGradientFill"), from, to))
        solid(dc, 0, band.y, width, band.height, band.colour);

    int previousMode = SetBkMode(dc, TRANSPARENT);
    UINT previousAlign = GetTextAlign(dc);
    COLORREF previousColour = GetTextColor(dc);
    HGDIOBJ previousFont = nullptr;
    HFONT fonts[3] = {};
    int headingLine = 0;
    for (int i = 0; i < 3; ++i) {
        const LineSettings& line = lines[i];
        LOGFONTA logFont;
        m_context.fontSetting(line.font, logFont);
        fonts[i] = CreateFontIndirectA(&logFont);
        HGDIOBJ selected = SelectObject(dc, fonts[i]);
        if (i == 0) {
            previousFont = selected;
            TEXTMETRICA metrics = {};
            GetTextMetricsA(dc, &metrics);
            headingLine = metrics.tmHeight + metrics.tmExternalLeading;
        }
        background::Anchor anchor =
            background::textAnchor(line.line, m_context.getVariable(line.alignment), width, height, headingLine);
        SetTextAlign(dc, anchor.align);
        std::string text = m_context.getVariable(line.text);
        if (text.empty())
            continue;
        if (m_context.variableIsTrue(line.shadow)) {
            SetTextColor(dc, 0);
            TextOutA(dc, anchor.x + 3, anchor.y + 3, text.c_str(), static_cast<int>(text.size()));
        }
        SetTextColor(dc, m_context.variableNumber(line.colour, 16));
        TextOutA(dc, anchor.x, anchor.y, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColour);
    SetTextAlign(dc, previousAlign);
    SetBkMode(dc, previousMode);
    for (HFONT font : fonts)
        DeleteObject(font);
}
