// The reading rules of Setup.ini and the language files.
#include <gtest/gtest.h>

#include <string>

#include "SetupScript.h"

namespace {

struct LookupCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    const char* expected; // nullptr: the key is missing and the default comes back
};

class ScriptLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ScriptLookup, FindsTheValueOrTheDefault)
{
    const LookupCase& c = GetParam();
    SetupScript script = SetupScript::fromText(c.text);
    std::string value = script.getString(c.section, c.key, "<default>");
    EXPECT_EQ(value, c.expected ? c.expected : "<default>");
}

INSTANTIATE_TEST_SUITE_P(
    ReaderRules, ScriptLookup,
    ::testing::Values(LookupCase{"Plain", "[A]\r\nk=v\r\n", "A", "k", "v"},
                      LookupCase{"ValueKeepsBlanksAndEquals", "[A]\r\nk= v = w \r\n", "A", "k", " v = w "},
                      LookupCase{"BlankBeforeEquals", "[A]\r\nk =v\r\n", "A", "k", nullptr},
                      LookupCase{"KeyWithTrailingBlankMatchesExactly", "[A]\r\nk =v\r\n", "A", "k ", "v"},
                      LookupCase{"BlankBeforeKey", "[A]\r\n k=v\r\n", "A", "k", nullptr},
                      LookupCase{"KeysAreCaseSensitive", "[A]\r\nKey=v\r\n", "A", "key", nullptr},
                      LookupCase{"SectionsAreCaseSensitive", "[a]\r\nk=v\r\n", "A", "k", nullptr},
                      LookupCase{"LfOnlyFileHasNoLines", "[A]\nk=v\nj=w\n", "A", "k", nullptr},
                      LookupCase{"LastLineWithoutCrLfIsLost", "[A]\r\nj=w\r\nk=v", "A", "k", nullptr},
                      LookupCase{"LineBeforeTheLostOneIsRead", "[A]\r\nj=w\r\nk=v", "A", "j", "w"},
                      LookupCase{"BlankLinesInsideASection", "[A]\r\n\r\n  \t\r\nk=v\r\n", "A", "k", "v"},
                      LookupCase{"BracketLineEndsSection", "[A]\r\n[B]\r\nk=v\r\n", "A", "k", nullptr},
                      LookupCase{"BlankThenBracketDoesNotEnd", "[A]\r\n [B]\r\nk=v\r\n", "A", "k", "v"},
                      LookupCase{"FirstOfDuplicateSections", "[A]\r\nj=1\r\n[A]\r\nk=2\r\n", "A", "k", nullptr},
                      LookupCase{"FirstOfDuplicateKeys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "1"},
                      LookupCase{"EmptyValueIsFound", "[A]\r\nk=\r\n", "A", "k", ""},
                      LookupCase{"SemicolonIsNoComment", "[A]\r\n;k=v\r\n", "A", ";k", "v"},
                      LookupCase{"SemicolonLineDoesNotHideKey", "[A]\r\n;k=v\r\n", "A", "k", nullptr},
                      LookupCase{"LoneCrStaysInTheValue", "[A]\r\nk=a\rb\r\nj=c\r\n", "A", "k", "a\rb"},
                      LookupCase{"LoneCrDoesNotHideTheNextLine", "[A]\r\nk=a\r\rj=c\r\nj=d\r\n", "A", "j", "d"},
                      LookupCase{"LoneLfIsPartOfTheLine", "[A]\r\nk=a\nb\r\n", "A", "k", "a\nb"},
                      LookupCase{"HeaderInsideALine", "x=[A] tail\r\nk=v\r\n", "A", "k", "v"},
                      LookupCase{"HeaderOnTheLastLine", "[A]", "A", "k", nullptr},
                      LookupCase{"MissingSection", "[B]\r\nk=v\r\n", "A", "k", nullptr},
                      LookupCase{"SectionInAnotherNameIsNotIt", "[AB]\r\nk=v\r\n", "A", "k", nullptr},
                      LookupCase{"EmptyText", "", "A", "k", nullptr}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

TEST(ScriptLookup, NulByteInsideAValueIsKept)
{
    SetupScript script = SetupScript::fromText(std::string("[A]\r\nk=a\0b\r\n", 12));
    EXPECT_EQ(script.getString("A", "k", ""), std::string("a\0b", 3));
}

TEST(ScriptLines, CountAndReadTheNonBlankLines)
{
    SetupScript script = SetupScript::fromText("[U]\r\nfirst\r\n\r\n;second=x\r\n [third\r\n[V]\r\nother\r\n");
    EXPECT_EQ(script.lineCount("U"), 3u);
    EXPECT_EQ(script.lineCount("V"), 1u);
    EXPECT_EQ(script.lineCount("W"), 0u);
    std::string line = "stale";
    ASSERT_TRUE(script.getLine("U", 0, line));
    EXPECT_EQ(line, "first");
    ASSERT_TRUE(script.getLine("U", 1, line));
    EXPECT_EQ(line, ";second=x");
    ASSERT_TRUE(script.getLine("U", 2, line));
    EXPECT_EQ(line, " [third");
    EXPECT_FALSE(script.getLine("U", 3, line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(script.getLine("W", 0, line));
}

TEST(ScriptLines, CopiesAndMovesReadTheSameLines)
{
    SetupScript script = SetupScript::fromText("[L]\r\na=1\r\nb\r\n[M]\r\nc\r\n");
    ASSERT_EQ(script.lineCount("L"), 2u); // the section is remembered from here on
    SetupScript copy = script;
    SetupScript moved = std::move(script);
    std::string line;
    for (const SetupScript* s : {&copy, &moved}) {
        EXPECT_EQ(s->lineCount("L"), 2u);
        ASSERT_TRUE(s->getLine("L", 1, line));
        EXPECT_EQ(line, "b");
        EXPECT_EQ(s->getString("L", "a", ""), "1");
        EXPECT_EQ(s->lineCount("M"), 1u);
    }
    EXPECT_EQ(script.lineCount("L"), 0u);
    EXPECT_FALSE(script.getLine("L", 0, line));
    script = SetupScript::fromText("[L]\r\nz\r\n");
    ASSERT_TRUE(script.getLine("L", 0, line));
    EXPECT_EQ(line, "z");
}

struct BoolCase {
    const char* value;
    bool defaultValue;
    bool expected;
};

TEST(ScriptBool, YesTrueOrLeadingOne)
{
    const BoolCase cases[] = {
        {"yes", false, true},   {"YES", false, true}, {"True", false, true}, {"tRUE", false, true},
        {"1", false, true},     {"10", false, true},  {"1abc", false, true}, {"y", false, false},
        {"Y", false, false},    {"no", true, false},  {"0", true, false},    {"yess", false, false},
        {" yes", false, false}, {"", true, true},     {"", false, false},
    };
    for (const BoolCase& c : cases) {
        SetupScript script = SetupScript::fromText(std::string("[A]\r\nk=") + c.value + "\r\n");
        EXPECT_EQ(script.getBool("A", "k", c.defaultValue), c.expected) << "value \"" << c.value << "\"";
    }
    SetupScript none = SetupScript::fromText("[A]\r\n");
    EXPECT_TRUE(none.getBool("A", "k", true));
    EXPECT_FALSE(none.getBool("A", "k", false));
}

TEST(JoinPath, AddsOneBackslashOnlyWhenNeeded)
{
    EXPECT_EQ(joinPath("C:\\P", "a.txt"), "C:\\P\\a.txt");
    EXPECT_EQ(joinPath("C:\\P\\", "a.txt"), "C:\\P\\a.txt");
    EXPECT_EQ(joinPath("", "a.txt"), "a.txt");
}

} // namespace
