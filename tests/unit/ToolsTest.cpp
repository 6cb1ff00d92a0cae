// Tools.dll through its exports, with the machine's real resolver. Only loopback addresses
// are looked up (the hosts file answers them), so no name server is ever asked.
#include <gtest/gtest.h>

#include "Tools.h"

namespace {

struct LookupCase {
    const char* address;
    const char* why;
};

class ResolveHostName : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ResolveHostName, NamesTheAddressAfterTheLowEightBitRule)
{
    CString address(GetParam().address);
    EXPECT_STREQ(CTools::ResolveHostName(address), "localhost") << GetParam().why;
    EXPECT_STREQ(address, GetParam().address) << "the caller's text must stay as it was";
    EXPECT_STREQ(CTools::ResolveHostName(GetParam().address), "localhost") << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Loopback, ResolveHostName,
                         ::testing::Values(LookupCase{"127.0.0.1", "plain dotted address"},
                                           LookupCase{"127.0.0.257", "257 contributes 1"},
                                           LookupCase{"-129.0.0.1", "-129 contributes 127"},
                                           LookupCase{"383.256.512.1", "383 is 127, 256 and 512 are 0"},
                                           LookupCase{"  127.0.0.1 and more", "leading blanks, trailing text"}));

TEST(Tools, ObjectsCanBeMadeAndDestroyedThroughTheExportedClass)
{
    CTools* tools = new CTools;
    delete tools; // the virtual destructor comes from the DLL's table
    SUCCEED();
}

} // namespace
