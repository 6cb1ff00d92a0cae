// Control units on the wire: byte order, assembly across reads, which codes each side acts on.
#include <gtest/gtest.h>

#include <vector>

#include "ControlCodes.h"
#include "ControlUnit.h"

namespace {

// Feeds the bytes in chunks of the given sizes, as reads would deliver them, and collects
// every code the assembler completes.
std::vector<int32_t> Assemble(const std::vector<unsigned char>& bytes, const std::vector<int>& chunks)
{
    UnitAssembler unit;
    std::vector<int32_t> codes;
    size_t at = 0;
    for (int chunk : chunks) {
        int left = chunk;
        while (left > 0 && at < bytes.size()) {
            int take = left < unit.Missing() ? left : unit.Missing();
            for (int i = 0; i < take; ++i)
                unit.Space()[i] = bytes[at + i];
            at += take;
            left -= take;
            if (unit.Added(take))
                codes.push_back(unit.Take());
        }
    }
    return codes;
}

std::vector<unsigned char> Wire(const std::vector<int32_t>& codes)
{
    std::vector<unsigned char> bytes;
    for (int32_t code : codes) {
        unsigned char unit[kControlUnitSize];
        EncodeControlUnit(code, unit);
        bytes.insert(bytes.end(), unit, unit + kControlUnitSize);
    }
    return bytes;
}

TEST(ControlUnit, TravelsLittleEndian)
{
    unsigned char unit[kControlUnitSize];
    EncodeControlUnit(ControlCode::ConnectRequest, unit);
    EXPECT_EQ(unit[0], 0x66);
    EXPECT_EQ(unit[1], 0x04);
    EXPECT_EQ(unit[2], 0x00);
    EXPECT_EQ(unit[3], 0x00);
    EXPECT_EQ(DecodeControlUnit(unit), 1126);

    EncodeControlUnit(-2, unit);
    EXPECT_EQ(unit[0], 0xFE);
    EXPECT_EQ(unit[3], 0xFF);
    EXPECT_EQ(DecodeControlUnit(unit), -2);
}

struct SplitCase {
    const char* name;
    std::vector<int> chunks;
};

class ControlUnitSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ControlUnitSplit, CodesCompleteOnlyWithTheirFourthByte)
{
    const std::vector<int32_t> sent = {1129, 1126, 1232};
    EXPECT_EQ(Assemble(Wire(sent), GetParam().chunks), sent);
}

INSTANTIATE_TEST_SUITE_P(Reads, ControlUnitSplit,
                         ::testing::Values(SplitCase{"whole", {4, 4, 4}},
                                           SplitCase{"one_then_three", {1, 3, 1, 3, 1, 3}},
                                           SplitCase{"two_and_two", {2, 2, 2, 2, 2, 2}},
                                           SplitCase{"byte_by_byte", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
                                           SplitCase{"across_units", {3, 3, 3, 3}}, SplitCase{"all_at_once", {12}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlUnit, StreamEndingMidUnitYieldsNothingForThePartialUnit)
{
    std::vector<unsigned char> bytes = Wire({1129});
    bytes.push_back(0x66);
    bytes.push_back(0x04);
    UnitAssembler unit;
    std::vector<int32_t> codes;
    for (unsigned char b : bytes) {
        unit.Space()[0] = b;
        if (unit.Added(1))
            codes.push_back(unit.Take());
    }
    EXPECT_EQ(codes, std::vector<int32_t>{1129});
    EXPECT_TRUE(unit.HasPartialUnit());
    unit.Reset();
    EXPECT_FALSE(unit.HasPartialUnit());
    EXPECT_EQ(unit.Missing(), 4);
}

TEST(ControlUnit, AddedNeverCountsMoreThanTheUnitHolds)
{
    UnitAssembler unit;
    EXPECT_FALSE(unit.Added(0));
    EXPECT_FALSE(unit.Added(-1));
    EXPECT_EQ(unit.Missing(), 4);
    EXPECT_TRUE(unit.Added(9));
    EXPECT_EQ(unit.Missing(), 0);
}

struct DirectionCase {
    int32_t code;
    bool hostActsOnIt;
    bool clientActsOnIt;
};

class ControlCodeDirection : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(ControlCodeDirection, EachSideActsOnlyOnItsOwnCodes)
{
    EXPECT_EQ(ControlCode::IsClientToHost(GetParam().code), GetParam().hostActsOnIt) << GetParam().code;
    EXPECT_EQ(ControlCode::IsHostToClient(GetParam().code), GetParam().clientActsOnIt) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(Codes, ControlCodeDirection,
                         ::testing::Values(DirectionCase{1126, true, false}, DirectionCase{1127, true, false},
                                           DirectionCase{1128, true, false}, DirectionCase{1129, true, true},
                                           DirectionCase{1130, true, false}, DirectionCase{1232, true, true},
                                           DirectionCase{1225, false, true}, DirectionCase{1226, false, true},
                                           DirectionCase{1227, false, true}, DirectionCase{1228, false, true},
                                           DirectionCase{1229, false, true}, DirectionCase{1230, false, true},
                                           // internal notification numbers and window-system messages
                                           DirectionCase{1047, false, false}, DirectionCase{1231, false, false},
                                           DirectionCase{1025, false, false}, DirectionCase{1044, false, false},
                                           DirectionCase{2, false, false}, DirectionCase{16, false, false},
                                           DirectionCase{0, false, false}, DirectionCase{-1126, false, false}));

} // namespace
