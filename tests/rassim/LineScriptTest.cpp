// The line script's parser: names, options, error texts and the problems it reports.
#include <gtest/gtest.h>

#include "LineScript.h"

namespace {

const EntryScript& OnlyEntry(const LineScript& script)
{
    static const EntryScript none;
    EXPECT_EQ(script.Entries().size(), 1u);
    return script.Entries().empty() ? none : script.Entries().front();
}

TEST(LineScript, BareEntryGetsALineThatConnects)
{
    LineScript script = LineScript::Parse("entry Ringwell\n");
    const EntryScript& entry = OnlyEntry(script);
    EXPECT_TRUE(script.Problems().empty());
    EXPECT_EQ(entry.name, "Ringwell");
    EXPECT_EQ(entry.dialMs, 300u);
    EXPECT_EQ(entry.progress, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 14}));
    EXPECT_EQ(entry.result, 0u);
    EXPECT_EQ(entry.immediateError, 0u);
    EXPECT_FALSE(entry.immediateHandle);
    EXPECT_EQ(entry.dropAfterMs, 0u);
    EXPECT_TRUE(entry.dropNotify);
    EXPECT_EQ(entry.hangupError, 0u);
    EXPECT_EQ(entry.statusError, 0u);
    EXPECT_EQ(entry.OutcomeFor("anyone", "anything"), 0u);
}

TEST(LineScript, NumberOptionsAreRead)
{
    struct Case {
        const char* option;
        uint32_t EntryScript::*field;
        uint32_t expected;
    };
    const Case cases[] = {
        {"dial_ms=45", &EntryScript::dialMs, 45},
        {"dial_ms=0", &EntryScript::dialMs, 0},
        {"result=678", &EntryScript::result, 678},
        {"result=0x2A6", &EntryScript::result, 678},
        {"fail_state=9", &EntryScript::failState, 9},
        {"immediate_error=676", &EntryScript::immediateError, 676},
        {"drop_after_ms=1500", &EntryScript::dropAfterMs, 1500},
        {"drop_error=629", &EntryScript::dropError, 629},
        {"hangup_error=631", &EntryScript::hangupError, 631},
        {"status_error=4294967295", &EntryScript::statusError, 4294967295u},
    };
    for (const Case& c : cases) {
        LineScript script = LineScript::Parse(std::string("entry Ringwell ") + c.option);
        EXPECT_TRUE(script.Problems().empty()) << c.option;
        EXPECT_EQ(OnlyEntry(script).*c.field, c.expected) << c.option;
    }
}

TEST(LineScript, FlagsListsAndCredentialsAreRead)
{
    LineScript script = LineScript::Parse(
        "entry Ringwell progress=7,0x10 immediate_handle=1 drop_notify=0 user=Username password=\"two words\"");
    const EntryScript& entry = OnlyEntry(script);
    EXPECT_TRUE(script.Problems().empty());
    EXPECT_EQ(entry.progress, (std::vector<uint32_t>{7, 16}));
    EXPECT_TRUE(entry.immediateHandle);
    EXPECT_FALSE(entry.dropNotify);
    EXPECT_TRUE(entry.checkUser);
    EXPECT_EQ(entry.user, "Username");
    EXPECT_TRUE(entry.checkPassword);
    EXPECT_EQ(entry.password, "two words");

    EXPECT_TRUE(OnlyEntry(LineScript::Parse("entry Ringwell progress=")).progress.empty());
}

TEST(LineScript, FailStateAndOutcome)
{
    struct Case {
        const char* line;
        uint32_t failState;
        const char* user;
        const char* password;
        uint32_t outcome;
    };
    const Case cases[] = {
        {"entry A progress=0,1,5", 5, "u", "p", 0},
        {"entry A progress=", 0, "u", "p", 0},
        {"entry A progress=0,1 fail_state=3 result=680", 3, "u", "p", 680},
        {"entry A user=Username password=Kelmabot", 14, "Username", "Kelmabot", 0},
        {"entry A user=Username password=Kelmabot result=678", 14, "Username", "Kelmabot", 678},
        {"entry A user=Username", 14, "username", "Kelmabot", 691},
        {"entry A password=Kelmabot result=678", 14, "Username", "kelmabot", 691},
        {"entry A password=", 14, "Username", "", 0},
        {"entry A password=", 14, "Username", "x", 691},
    };
    for (const Case& c : cases) {
        LineScript script = LineScript::Parse(c.line);
        const EntryScript& entry = OnlyEntry(script);
        EXPECT_EQ(entry.FailState(), c.failState) << c.line;
        EXPECT_EQ(entry.OutcomeFor(c.user, c.password), c.outcome) << c.line;
    }
}

TEST(LineScript, EntriesKeepFileOrderAndQuotedNames)
{
    LineScript script = LineScript::Parse("# the phone book\r\n"
                                          "entry Ringwell\r\n"
                                          "\r\n"
                                          "   entry \"Office Line\" dial_ms=5\r\n"
                                          "\t# indented comment\r\n"
                                          "entry \"Say \\\"hi\\\"\" \r\n"
                                          "entry C:\\Path\\Like\n"
                                          "entry last");
    EXPECT_TRUE(script.Problems().empty());
    std::vector<std::string> names;
    for (const EntryScript& entry : script.Entries())
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Ringwell", "Office Line", "Say \"hi\"", "C:\\Path\\Like", "last"}));
    ASSERT_NE(script.Find("office line"), nullptr);
    EXPECT_EQ(script.Find("OFFICE LINE")->dialMs, 5u);
    EXPECT_EQ(script.Find("Office"), nullptr);
}

TEST(LineScript, EmptyTextIsAnEmptyPhoneBook)
{
    for (const char* text : {"", "\n\n", "# nothing here\r\n", "   \t  "}) {
        LineScript script = LineScript::Parse(text);
        EXPECT_TRUE(script.Entries().empty()) << '"' << text << '"';
        EXPECT_TRUE(script.Problems().empty()) << '"' << text << '"';
        EXPECT_EQ(script.EnumError(), 0u);
    }
}

TEST(LineScript, ProblemsNameTheirLineAndSpareTheRest)
{
    struct Case {
        const char* text;
        unsigned line;
        const char* problem;
        size_t entries;
    };
    const Case cases[] = {
        {"entry A\ndial B", 2, "unknown directive dial", 1},
        {"entry A colour=red", 1, "unknown option colour", 1},
        {"entry A dial_ms=fast", 1, "dial_ms needs a number", 1},
        {"entry A dial_ms=", 1, "dial_ms needs a number", 1},
        {"entry A result=4294967296", 1, "result needs a number", 1},
        {"entry A result=0x", 1, "result needs a number", 1},
        {"entry A drop_notify=2", 1, "drop_notify needs 0 or 1", 1},
        {"entry A progress=1,,2", 1, "progress needs numbers", 1},
        {"entry A progress=1,", 1, "progress needs numbers", 1},
        {"entry A fail_state=x", 1, "fail_state needs a number", 1},
        {"entry A dial_ms", 1, "option without a value: dial_ms", 1},
        {"entry \"A", 1, "an entry needs a name", 0},
        {"entry", 1, "an entry needs a name", 0},
        {"entry \"\"", 1, "an entry needs a name", 0},
        {"entry A password=\"open", 1, "unterminated quote", 0},
        {"entry A\nentry a dial_ms=1", 2, "listed twice", 1},
        {"errortext\n", 1, "errortext needs an error code", 0},
        {"notext many", 1, "notext needs an error code", 0},
        {"notext 650 because", 1, "unexpected text after notext 650", 0},
        {"\n\nenumerror 610 611", 3, "unexpected text after enumerror 610", 0},
    };
    for (const Case& c : cases) {
        LineScript script = LineScript::Parse(c.text);
        ASSERT_EQ(script.Problems().size(), 1u) << c.text;
        EXPECT_EQ(script.Problems()[0].line, c.line) << c.text;
        EXPECT_NE(script.Problems()[0].text.find(c.problem), std::string::npos)
            << c.text << " gave: " << script.Problems()[0].text;
        EXPECT_EQ(script.Entries().size(), c.entries) << c.text;
    }
}

TEST(LineScript, BadOptionKeepsTheOthers)
{
    LineScript script = LineScript::Parse("entry A dial_ms=fast result=678 drop_notify=yes hangup_error=631");
    const EntryScript& entry = OnlyEntry(script);
    EXPECT_EQ(script.Problems().size(), 2u);
    EXPECT_EQ(entry.dialMs, 300u);
    EXPECT_EQ(entry.result, 678u);
    EXPECT_TRUE(entry.dropNotify);
    EXPECT_EQ(entry.hangupError, 631u);
}

TEST(LineScript, ErrorTexts)
{
    LineScript script = LineScript::Parse("errortext 691 Access  denied by\tthe test  \n"
                                          "notext 650\n"
                                          "notext 678\n"
                                          "errortext 700\n"
                                          "errortext 0x2BD first\n"
                                          "errortext 701 second\n"
                                          "errortext 702 kept\n"
                                          "notext 702\n"
                                          "notext 703\n"
                                          "errortext 703 back again\n");
    EXPECT_TRUE(script.Problems().empty());
    struct Case {
        uint32_t code;
        bool hasText;
        const char* text;
    };
    const Case cases[] = {
        {691, true, "Access  denied by\tthe test"},
        {650, false, ""},
        {678, false, ""},
        {700, true, ""},
        {701, true, "second"},
        {702, false, ""},
        {703, true, "back again"},
        {676, true, BuiltInErrorText(676)},
        {12345, false, ""},
    };
    for (const Case& c : cases) {
        std::string text = "untouched";
        EXPECT_EQ(script.ErrorText(c.code, text), c.hasText) << c.code;
        EXPECT_EQ(text, c.hasText ? c.text : "untouched") << c.code;
    }
}

TEST(LineScript, BuiltInTextsCoverTheCommonDialErrors)
{
    for (uint32_t code : {602u, 603u, 608u, 619u, 623u, 629u, 631u, 632u, 638u, 676u, 678u, 680u, 691u, 718u}) {
        const char* text = BuiltInErrorText(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_GT(std::string(text).size(), 5u) << code;
    }
    for (uint32_t code : {0u, 6u, 87u, 600u, 650u, 12345u})
        EXPECT_EQ(BuiltInErrorText(code), nullptr) << code;
    EXPECT_STRNE(BuiltInErrorText(676), BuiltInErrorText(678));
}

TEST(LineScript, EnumErrorIsRead)
{
    EXPECT_EQ(LineScript::Parse("entry A\nenumerror 610\n").EnumError(), 610u);
    EXPECT_EQ(LineScript::Parse("entry A\n").EnumError(), 0u);
}

} // namespace
