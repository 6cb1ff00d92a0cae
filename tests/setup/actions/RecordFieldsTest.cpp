// The record syntax of the script's lists: fields, file records, program records, value data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordFields.h"

namespace {

TEST(RecordFields, CommasOnlyNoQuotingNoTrimming)
{
    struct {
        const char* record;
        std::vector<std::string> fields;
    } cases[] = {
        {"", {""}},
        {"one", {"one"}},
        {"a,b", {"a", "b"}},
        {",", {"", ""}},
        {" a , b ", {" a ", " b "}},
        {"\"q,uoted\"", {"\"q", "uoted\""}},
        {"a,,c,", {"a", "", "c", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordFields::split(c.record), c.fields) << c.record;
        EXPECT_EQ(RecordFields(c.record).count(), c.fields.size()) << c.record;
    }
    std::string record = "x,y";
    RecordFields fields(record);
    EXPECT_EQ(fields.next(), "x");
    EXPECT_EQ(fields.next(), "y");
    EXPECT_FALSE(fields.more());
    EXPECT_EQ(fields.next(), ""); // every field after the last is empty
    EXPECT_EQ(fields.next(), "");
}

TEST(FileRecord, FieldsFlagsAndRules)
{
    struct {
        const char* record;
        bool valid;
        const char* entry;
        const char* target;
        int flags;
        int rule;
    } cases[] = {
        {"d,e.dll,C:\\P\\e.dll,6,5", true, "e.dll", "C:\\P\\e.dll", 6, 5},
        {"d,e.dll,C:\\P\\e.dll", true, "e.dll", "C:\\P\\e.dll", 0, 0},
        {"d,e.dll,C:\\P\\e.dll,,", true, "e.dll", "C:\\P\\e.dll", 0, 0},
        {"d,e.dll,C:\\P\\e.dll,abc,x1", true, "e.dll", "C:\\P\\e.dll", 0, 0},
        {"d,e.dll,C:\\P\\e.dll,12z,7", true, "e.dll", "C:\\P\\e.dll", 12, 7},
        {"d,e.dll,C:\\P\\e.dll,+4,-1,extra,fields", true, "e.dll", "C:\\P\\e.dll", 4, -1},
        {",,", true, "", "", 0, 0},
        {"d,e.dll", false, "", "", 0, 0},
        {"", false, "", "", 0, 0},
    };
    for (const auto& c : cases) {
        FileRecord file = FileRecord::parse(c.record);
        EXPECT_EQ(file.valid, c.valid) << c.record;
        EXPECT_EQ(file.entryName, c.entry) << c.record;
        EXPECT_EQ(file.targetPath, c.target) << c.record;
        EXPECT_EQ(file.flags, c.flags) << c.record;
        EXPECT_EQ(file.rule, c.rule) << c.record;
    }
}

TEST(ProgramRecord, SevenFieldsReadUntilTheFirstMissingOne)
{
    ProgramRecord full = ProgramRecord::parse("C:\\P\\run.exe,-a -b,three,5,9,1,seven");
    EXPECT_EQ(full.program, "C:\\P\\run.exe");
    EXPECT_EQ(full.arguments, "-a -b");
    EXPECT_EQ(full.third, "three");
    EXPECT_EQ(full.show, 5);
    EXPECT_EQ(full.fifth, 9);
    EXPECT_EQ(full.noWait, 1);
    EXPECT_EQ(full.seventh, "seven");
    EXPECT_EQ(full.commandLine(), "C:\\P\\run.exe -a -b");
    EXPECT_TRUE(full.startedDirectly());

    ProgramRecord bare = ProgramRecord::parse("C:\\P\\readme.txt");
    EXPECT_EQ(bare.commandLine(), "C:\\P\\readme.txt "); // the blank stays
    EXPECT_EQ(bare.show, 0);
    EXPECT_EQ(bare.noWait, 0);
    EXPECT_FALSE(bare.startedDirectly());

    EXPECT_FALSE(ProgramRecord::parse("C:\\P\\RUN.EXE").startedDirectly());
    EXPECT_TRUE(ProgramRecord::parse("C:\\x.exe.d\\tool.com").startedDirectly()); // anywhere in the path
    EXPECT_EQ(ProgramRecord::parse("a,b,c,-3x,,12").show, -3);
    EXPECT_EQ(ProgramRecord::parse("a,b,c,-3x,,12").noWait, 12);
}

TEST(ValueData, BinaryTokensAndDwordNumbers)
{
    EXPECT_EQ(binaryValueData("01 0a FF"), (std::vector<unsigned char>{0x01, 0x0a, 0xff}));
    EXPECT_EQ(binaryValueData(" \t\r\n"), std::vector<unsigned char>{});
    EXPECT_EQ(binaryValueData("1234 0x7f zz"), (std::vector<unsigned char>{0x34, 0x7f, 0x00}));
    EXPECT_EQ(binaryValueData("123456789abc"), std::vector<unsigned char>{0xff}); // held at FFFFFFFF
    EXPECT_EQ(dwordValueData("ff"), 255u);
    EXPECT_EQ(dwordValueData("0xFF"), 255u);
    EXPECT_EQ(dwordValueData("12 34"), 0x12u);
    EXPECT_EQ(dwordValueData("ffffffff"), 0xffffffffu);
    EXPECT_EQ(dwordValueData("100000000"), 0xffffffffu);
    EXPECT_EQ(dwordValueData("g"), 0u);
    EXPECT_EQ(dwordValueData(""), 0u);
}

} // namespace
