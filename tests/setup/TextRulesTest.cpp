// Language lists, message arguments, font settings, file error texts and Windows versions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FontSpec.h"
#include "LanguageText.h"
#include "SetupExceptions.h"
#include "WindowsVersion.h"

namespace {

std::vector<std::string> allItems(const std::string& list)
{
    std::vector<std::string> items;
    std::string item;
    for (std::size_t i = 0; i < 100 && languageListItem(list, i, item); ++i)
        items.push_back(item);
    return items;
}

TEST(LanguageList, SplitsAtEveryComma)
{
    using Items = std::vector<std::string>;
    EXPECT_EQ(allItems("English,German,French"), (Items{"English", "German", "French"}));
    EXPECT_EQ(allItems("English, German"), (Items{"English", " German"}));
    EXPECT_EQ(allItems("English,German,"), (Items{"English", "German"}));
    EXPECT_EQ(allItems(",English"), (Items{"", "English"}));
    EXPECT_EQ(allItems("English,,German"), (Items{"English", "", "German"}));
    EXPECT_EQ(allItems(""), (Items{""}));
    EXPECT_EQ(allItems(","), (Items{""}));
    EXPECT_EQ(allItems("A,,"), (Items{"A", ""}));
}

TEST(MessageArgument, OnlyTheFirstPlaceholderIsReplaced)
{
    EXPECT_EQ(replaceFirstArgument("Needs %1, not %1.", "Windows 98"), "Needs Windows 98, not %1.");
    EXPECT_EQ(replaceFirstArgument("No placeholder", "x"), "No placeholder");
    EXPECT_EQ(replaceFirstArgument("%1", ""), "");
    EXPECT_EQ(replaceFirstArgument("%2 %1", "ME"), "%2 ME");
    EXPECT_EQ(replaceFirstArgument("", "ME"), "");
}

TEST(FontSpecParsing, FieldsCountOnlyWithAFollowingComma)
{
    const struct {
        const char* text;
        const char* face;
        int height, weight, italic, underline, strikeOut;
    } cases[] = {
        {"", "Arial", -12, 400, 0, 0, 0},
        {"Tahoma", "Arial", -12, 400, 0, 0, 0},
        {"Tahoma,20", "Tahoma", -12, 400, 0, 0, 0},
        {"Tahoma,20,700,", "Tahoma", 20, 700, 0, 0, 0},
        {"Tahoma,20,700,1", "Tahoma", 20, 700, 0, 0, 0},
        {"Tahoma,-20,700,1,1,1", "Tahoma", -20, 700, 1, 1, 1},
        {"Times New Roman,30,400,0,1,", "Times New Roman", 30, 400, 0, 1, 0},
        {"Courier,x,y,z,w,v", "Courier", 0, 0, 0, 0, 0},
        {"Courier,12,400,257,513,258", "Courier", 12, 400, 1, 1, 2},
        {",14,", "", 14, 400, 0, 0, 0},
        {"A,1,2,3,4,5,6", "A", 1, 2, 3, 4, 5},
        {"A,1,2,3,4,-1", "A", 1, 2, 3, 4, 255},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234,9,", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 9, 400, 0, 0, 0},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345,9,", "Arial", 9, 400, 0, 0, 0},
    };
    for (const auto& c : cases) {
        FontSpec parsed = parseFontSpec(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parsed.faceName, c.face);
        EXPECT_EQ(parsed.height, c.height);
        EXPECT_EQ(parsed.weight, c.weight);
        EXPECT_EQ(parsed.italic, c.italic);
        EXPECT_EQ(parsed.underline, c.underline);
        EXPECT_EQ(parsed.strikeOut, c.strikeOut);
    }
}

TEST(FileErrorText, OneTextPerKind)
{
    const char* expected[] = {"No error occurred",
                              "File not found",
                              "Can not open file",
                              "There was an error in read operation",
                              "There was an error trying to set the file pointer",
                              "The disk is full",
                              "The end of file was reached"};
    for (int kind = 0; kind < 7; ++kind)
        EXPECT_STREQ(fileErrorText(kind), expected[kind]) << "kind " << kind;
    EXPECT_STREQ(fileErrorText(9), "Unknown error");
    EXPECT_STREQ(fileErrorText(-1), "Unknown error");
}

TEST(WindowsVersionPredicates, EachSystemMatchesOnlyItsOwn)
{
    struct Case {
        WindowsVersion version;
        const char* name; // the one named predicate that holds, or "" for none
    };
    const Case cases[] = {
        {{1, 4, 0}, "95"},   {{1, 4, 10}, "98"},  {{1, 4, 90}, "ME"}, {{2, 4, 0}, "NT4"},
        {{2, 3, 51}, "NT4"}, {{2, 5, 0}, "2000"}, {{2, 5, 1}, "XP"},  {{2, 5, 2}, ""},
        {{2, 6, 1}, ""},     {{1, 4, 3}, ""},     {{0, 4, 0}, ""},
    };
    for (const Case& c : cases) {
        const WindowsVersion& v = c.version;
        SCOPED_TRACE(std::to_string(v.platformId) + " " + std::to_string(v.major) + "." + std::to_string(v.minor));
        std::string name = c.name;
        EXPECT_EQ(v.isWindows95(), name == "95");
        EXPECT_EQ(v.isWindows98(), name == "98");
        EXPECT_EQ(v.isWindowsME(), name == "ME");
        EXPECT_EQ(v.isWindowsNT4(), name == "NT4");
        EXPECT_EQ(v.isWindows2000(), name == "2000");
        EXPECT_EQ(v.isWindowsXP(), name == "XP");
        EXPECT_EQ(v.isNT(), v.platformId == 2);
        EXPECT_EQ(v.is9x(), v.platformId == 1);
    }
}

} // namespace
