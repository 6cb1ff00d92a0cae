// Reading the dotted address handed to the resolver.
#include <gtest/gtest.h>

#include "DottedAddress.h"

namespace {

struct AddressCase {
    const char* text;
    int numbersRead;
    unsigned char bytes[4];
};

class DottedAddress : public ::testing::TestWithParam<AddressCase> {};

TEST_P(DottedAddress, KeepsTheLowEightBitsOfEachNumber)
{
    unsigned char out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ParseDottedAddress(GetParam().text, out), GetParam().numbersRead) << GetParam().text;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[i], GetParam().bytes[i]) << GetParam().text << " byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DottedAddress,
    ::testing::Values(AddressCase{"127.0.0.1", 4, {127, 0, 0, 1}}, AddressCase{"127.0.0.300", 4, {127, 0, 0, 44}},
                      AddressCase{"-1.0.0.1", 4, {255, 0, 0, 1}}, AddressCase{"  1.2.3.4", 4, {1, 2, 3, 4}},
                      AddressCase{"1. 2. 3. 4", 4, {1, 2, 3, 4}}, AddressCase{"1.2.3.4junk", 4, {1, 2, 3, 4}},
                      AddressCase{"1.2.3", 3, {1, 2, 3, 0}}, AddressCase{"1.2..4", 2, {1, 2, 0, 0}},
                      AddressCase{"host.example", 0, {0, 0, 0, 0}}, AddressCase{"", 0, {0, 0, 0, 0}},
                      AddressCase{"256.257.258.259", 4, {0, 1, 2, 3}}));

TEST(DottedAddressNull, NullTextReadsNothing)
{
    unsigned char out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ParseDottedAddress(nullptr, out), 0);
    EXPECT_EQ(out[0], 0);
}

} // namespace
