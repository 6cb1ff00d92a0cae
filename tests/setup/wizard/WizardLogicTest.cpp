// Tests of the wizard's pure rules: background bands and anchors, page commands, path texts.
#include <gtest/gtest.h>

#include "BackgroundLayout.h"
#include "WizardFlow.h"

using namespace background;

namespace {

std::uint32_t rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16));
}

int channelOf(std::uint32_t colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

} // namespace

TEST(GradientBands, HundredRowsGiveSeventeenStartRowsThenEightyThreeOneRowBands)
{
    std::uint32_t from = rgb(200, 10, 255), to = rgb(0, 250, 1);
    std::vector<Band> bands = gradientBands(40, 100, from, to);
    ASSERT_EQ(bands.size(), 84u);
    EXPECT_EQ(bands[0].y, 40);
    EXPECT_EQ(bands[0].height, 17);
    EXPECT_EQ(bands[0].colour, from);
    for (std::size_t i = 1; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].height, 1);
        EXPECT_EQ(bands[i].y, 40 + 17 + static_cast<int>(i) - 1);
    }
    // The first band (l = G) has exactly the start colour; the last (l = 1) is
    // from - ((from - to) * 82^2) / 83^2 per channel, truncated toward zero.
    EXPECT_EQ(bands[1].colour, from);
    int fromChannels[] = {200, 10, 255}, toChannels[] = {0, 250, 1};
    for (int c = 0; c < 3; ++c) {
        int expected = fromChannels[c] - ((fromChannels[c] - toChannels[c]) * 82 * 82) / (83 * 83);
        EXPECT_EQ(channelOf(bands.back().colour, c * 8), expected) << "channel " << c;
    }
}

TEST(GradientBands, BandsNeverDecreaseTowardTheEndColour)
{
    std::vector<Band> bands = gradientBands(0, 600, rgb(0, 0, 0), rgb(255, 255, 255));
    for (std::size_t i = 2; i < bands.size(); ++i)
        EXPECT_LE(channelOf(bands[i - 1].colour, 0), channelOf(bands[i].colour, 0));
}

TEST(GradientBands, TallAreasUseWiderBandsAndAtMost511)
{
    // G = 5 * 3000 / 6 = 2500, band = 2500 / 256 = 9 rows.
    std::vector<Band> bands = gradientBands(0, 3000, rgb(1, 2, 3), rgb(4, 5, 6));
    EXPECT_EQ(bands[1].height, 9);
    EXPECT_LE(bands.size() - 1, 511u);
    // The last band may reach past the area's bottom; never short of it.
    EXPECT_GE(bands.back().y + bands.back().height, 3000);
}

TEST(WindowBands, Cases)
{
    std::uint32_t from = 0x0000FF, to = 0xFF0000;
    // Solid: one fill of the start colour.
    std::vector<Band> solid = windowBands(480, false, from, to);
    ASSERT_EQ(solid.size(), 1u);
    EXPECT_EQ(solid[0].height, 480);
    EXPECT_EQ(solid[0].colour, from);
    // Gradient over 400 rows: Q = 300, a solid top of 100 rows, then the gradient area of 300.
    std::vector<Band> gradient = windowBands(400, true, from, to);
    EXPECT_EQ(gradient[0].height, 100);
    EXPECT_EQ(gradient[1].y, 100);
    EXPECT_EQ(gradient[1].height, 300 - (5 * 300) / 6);
    // A minimized window: no bands beyond empty fills, no division by zero.
    for (const Band& band : windowBands(0, true, from, to))
        EXPECT_EQ(band.height, 0);
    EXPECT_EQ(windowBands(1, true, from, to).size(), 2u);
}

TEST(TextAnchor, AlignmentTable)
{
    struct Case {
        TextLine line;
        const char* alignment;
        Anchor expected;
    };
    const int w = 801, h = 600, l = 29;
    const Case cases[] = {
        {Heading, "1", {400, 10, alignCenter}},
        {Heading, "12", {400, 10, alignCenter}},
        {Heading, "1x", {400, 10, alignCenter}},
        {Heading, "2", {781, 10, alignRight}},
        {Heading, "", {20, 10, alignLeft}},
        {Heading, "0", {20, 10, alignLeft}},
        {Heading, "3", {20, 10, alignLeft}},
        {Subheading, "1", {400, 49, alignCenter}},
        {Subheading, "2", {781, 49, alignRight}},
        {Subheading, "", {20, 49, alignLeft}},
        {Footer, "1", {400, 590, alignCenter | alignBottom}},
        {Footer, "2", {781, 590, alignRight | alignBottom}},
        {Footer, "9", {20, 590, alignLeft | alignBottom}},
    };
    for (const Case& c : cases) {
        Anchor a = textAnchor(c.line, c.alignment, w, h, l);
        EXPECT_EQ(a.x, c.expected.x) << c.line << " '" << c.alignment << "'";
        EXPECT_EQ(a.y, c.expected.y) << c.line << " '" << c.alignment << "'";
        EXPECT_EQ(a.align, c.expected.align) << c.line << " '" << c.alignment << "'";
    }
}

TEST(PageCommands, EveryPageAndBeyond)
{
    const std::int32_t expected[] = {1030, 1031, 1032, 1037, 1038, 1033, 1034, 1035, 1036, 1039, 1026, 1041};
    for (std::int32_t page = 0; page < 12; ++page) {
        EXPECT_EQ(wizard::showCommandForPage(page), expected[page]) << page;
        if (page != 10 && page != 11) {
            EXPECT_EQ(wizard::pageForShowCommand(expected[page]), page);
        }
    }
    EXPECT_EQ(wizard::showCommandForPage(-1), CmdClose);
    EXPECT_EQ(wizard::showCommandForPage(12), CmdClose);
    EXPECT_EQ(wizard::pageForShowCommand(CmdClose), -1);
    EXPECT_EQ(wizard::pageForShowCommand(CmdNext), -1);
}

TEST(SystemRequirements, EachVersionMatchesOneRowInOrder)
{
    struct Case {
        std::uint32_t platform, major, minor;
        const char* name;
    };
    const Case cases[] = {
        {1, 4, 0, "Windows 95"},  {1, 4, 10, "Windows 98"},  {1, 4, 90, "Windows ME"},
        {2, 4, 0, "Windows NT4"}, {2, 3, 51, "Windows NT4"}, {2, 5, 0, "Windows 2000"},
        {2, 5, 1, "Windows XP"},  {2, 5, 2, nullptr},        {2, 6, 1, nullptr},
    };
    std::size_t count = 0;
    const wizard::RequirementRow* rows = wizard::requirementRows(count);
    ASSERT_EQ(count, 6u);
    for (const Case& c : cases) {
        WindowsVersion version;
        version.platformId = c.platform;
        version.major = c.major;
        version.minor = c.minor;
        const char* matched = nullptr;
        int matches = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if ((version.*rows[i].matches)()) {
                matched = rows[i].name;
                ++matches;
            }
        }
        EXPECT_EQ(matches, c.name ? 1 : 0) << c.platform << "." << c.major << "." << c.minor;
        if (c.name) {
            EXPECT_STREQ(matched, c.name);
        }
    }
}

TEST(PathTexts, BrowsedTarget)
{
    EXPECT_EQ(wizard::browsedTarget("C:\\Apps", "MyTool"), "C:\\Apps\\MyTool");
    EXPECT_EQ(wizard::browsedTarget("C:\\", "MyTool"), "C:\\MyTool");
}

TEST(PathTexts, StartSummary)
{
    EXPECT_EQ(wizard::startSummary("Folder:", "C:\\T", "Group:", "Telvane"),
              "Folder:\r\n  C:\\T\r\n\r\nGroup:\r\n  Telvane");
}

TEST(PathTexts, UninstallStringAndApplication)
{
    EXPECT_EQ(wizard::uninstallProgram("\"C:\\Program Files\\T\\uninstall.exe\""),
              "C:\\Program Files\\T\\uninstall.exe");
    EXPECT_EQ(wizard::folderOf(wizard::uninstallProgram("\"C:\\P F\\T\\u.exe\" -x")), "C:\\P F\\T");
    EXPECT_EQ(wizard::uninstallProgram("C:\\T\\u.exe"), "C:\\T\\u.exe");
    EXPECT_EQ(wizard::uninstallProgram("\""), "");
    EXPECT_EQ(wizard::folderOf("noslash"), "");
    EXPECT_TRUE(wizard::startsDirectly("C:\\T\\tool.exe -q"));
    EXPECT_FALSE(wizard::startsDirectly("C:\\T\\TOOL.EXE"));
    EXPECT_FALSE(wizard::startsDirectly("C:\\T\\readme.txt"));
}
