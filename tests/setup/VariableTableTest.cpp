// Variables: creation on read, %name% expansion, the truth rule and number reading.
#include <gtest/gtest.h>

#include <string>

#include "VariableTable.h"

namespace {

struct ExpandCase {
    const char* text;
    const char* expected;
};

TEST(ExpandVariables, ReferencesAsTheEngineReadsThem)
{
    VariableTable table;
    table.set("AppDir", "C:\\Prog");
    table.set("Empty", "");
    table.set("Nested", "%AppDir%\\bin");
    table.set("Deeper", "[%Nested%]");
    table.set("Open", "50%");
    table.set("TempDir", "C:\\TEMP\\");
    table.set("P", "50%");
    table.set("A", "x%");
    const ExpandCase cases[] = {
        {"%AppDir%", "C:\\Prog"},
        {"x%AppDir%y%AppDir%z", "xC:\\ProgyC:\\Progz"},
        {"%appdir%", "%appdir%"},
        {"%Unknown%", "%Unknown%"},
        {"a%Empty%b", "ab"},
        {"%%", "%%"},
        {"100% sure", "100% sure"},
        {"100% of %AppDir%", "100% of C:\\Prog"},
        {"%Unknown%AppDir%", "%UnknownC:\\Prog"},
        {"%Deeper%", "[C:\\Prog\\bin]"},
        {"%TempDir%\\f.txt", "C:\\TEMP\\\\f.txt"},
        {"%Open%AppDir%", "50C:\\Prog"},
        // A reference that only opens inside inserted text is not one to itself.
        {"%P%P%", "5050%"},
        {"%A%A%", "xx%"},
        {"%P%P%P%", "505050%"},
        {"", ""},
    };
    for (const ExpandCase& c : cases) {
        std::string text = c.text;
        table.expand(text);
        EXPECT_EQ(text, c.expected) << "text \"" << c.text << "\"";
    }
}

TEST(ExpandVariables, ReadingCreatesAnEmptyVariable)
{
    VariableTable table;
    std::string text = "a%Later%b";
    table.expand(text);
    EXPECT_EQ(text, "a%Later%b");
    EXPECT_FALSE(table.exists("Later"));
    EXPECT_EQ(table.get("Later", true), "");
    EXPECT_TRUE(table.exists("Later"));
    table.expand(text);
    EXPECT_EQ(text, "ab");
}

TEST(ExpandVariables, ReadingLeavesTheStoredValueAlone)
{
    VariableTable table;
    table.set("AppDir", "C:\\P");
    table.set("AppSCFolder", "C:\\Menu\\%OutputProgramGroup%");
    table.set("OutputProgramGroup", "First");
    EXPECT_EQ(table.get("AppSCFolder", true), "C:\\Menu\\First");
    EXPECT_EQ(table.get("AppSCFolder", false), "C:\\Menu\\%OutputProgramGroup%");
    table.set("OutputProgramGroup", "Second");
    EXPECT_EQ(table.get("AppSCFolder", true), "C:\\Menu\\Second");
}

TEST(ExpandVariables, SelfReferenceEnds)
{
    VariableTable table;
    table.set("AppDir", "%AppDir%\\x");
    table.set("A", "a%B%");
    table.set("B", "b%A%");
    table.set("C", "%C%%C%");
    table.set("Other", "o");
    struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"%AppDir%", "%AppDir%\\x"},
        {"%A%", "ab%A%"},
        {"%B%", "ba%B%"},
        {"%C%|%Other%", "%C%%C%|o"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        table.expand(text);
        EXPECT_EQ(text, c.expected) << "text \"" << c.text << "\"";
    }
    // A variable read expanded never inserts its own value again.
    EXPECT_EQ(table.get("AppDir", true), "%AppDir%\\x");
    EXPECT_EQ(table.get("A", true), "ab%A%");
    EXPECT_EQ(table.get("C", true), "%C%%C%");
    table.set("AppDir", "%AppDir%\\%AppDir%");
    EXPECT_EQ(table.get("AppDir", true), "%AppDir%\\%AppDir%");
}

TEST(ExpandVariables, DoublingChainsStopAtTheBound)
{
    VariableTable table;
    for (int level = 0; level < 40; ++level)
        table.set("L" + std::to_string(level),
                  "%L" + std::to_string(level + 1) + "%%L" + std::to_string(level + 1) + "%");
    table.set("L40", "xxxxxxxx");
    std::string text = "%L0%";
    table.expand(text);
    EXPECT_LE(text.size(), 300u * 1024u);
    EXPECT_GT(text.size(), 1000u);
}

TEST(VariableTruth, FirstCharacterYOrOne)
{
    const struct {
        const char* value;
        bool expected;
    } cases[] = {{"Y", true},     {"y", true},   {"yes", true}, {"1", true}, {"10", true},  {"true", false},
                 {"TRUE", false}, {"no", false}, {"0", false},  {"", false}, {" Y", false}, {"N", false}};
    for (const auto& c : cases)
        EXPECT_EQ(textIsTrue(c.value), c.expected) << "value \"" << c.value << "\"";
}

TEST(VariableNumber, UnsignedReadingInBase10And16)
{
    const struct {
        const char* text;
        int base;
        std::uint32_t expected;
    } cases[] = {
        {"", 10, 0},
        {"1", 10, 1},
        {"01", 10, 1},
        {"  \t42abc", 10, 42},
        {"+7", 10, 7},
        {"-1", 10, 0xFFFFFFFFu},
        {"-5", 10, 4294967291u},
        {"4294967295", 10, 4294967295u},
        {"4294967296", 10, 0xFFFFFFFFu},
        {"99999999999999999999999", 10, 0xFFFFFFFFu},
        {"-99999999999999999999999", 10, 0xFFFFFFFFu},
        {"word", 10, 0},
        {"-", 10, 0},
        {"1 2", 10, 1},
        {"FF8000", 16, 0xFF8000u},
        {"ff8000", 16, 0xFF8000u},
        {"0x1F", 16, 0x1Fu},
        {"0X1f", 16, 0x1Fu},
        {"0x", 16, 0},
        {"0xg", 16, 0},
        {"0x1F", 10, 0},
        {"FFFFFFFF", 16, 0xFFFFFFFFu},
        {"100000000", 16, 0xFFFFFFFFu},
        {"12G", 16, 0x12u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToUnsigned(c.text, c.base), c.expected) << "text \"" << c.text << "\" base " << c.base;
}

TEST(VariableNumber, SignedDecimalReading)
{
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {{"", 0},
                 {"12", 12},
                 {"-12", -12},
                 {"+3x", 3},
                 {" 8", 8},
                 {"x8", 0},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1},
                 {"99999999999", 2147483647},
                 {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(textToInt(c.text), c.expected) << "text \"" << c.text << "\"";
}

} // namespace
