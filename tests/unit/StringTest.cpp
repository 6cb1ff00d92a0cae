// CString: formatting and the clamped substring rules the about boxes rely on.
#include <gtest/gtest.h>

#include <string>

#include "RevisionKeyword.h"
#include "Str.h"

namespace {

TEST(CString, FormatGrowsToAnyLength)
{
    std::string longText(5000, 'x');
    CString s;
    s.Format("%s on port %u", longText.c_str(), 1020u);
    EXPECT_EQ(s.GetLength(), 5000 + 13);
    EXPECT_STREQ(s.Mid(5000), " on port 1020");
}

TEST(CString, MidClampsItsBounds)
{
    CString s("abcdef");
    EXPECT_STREQ(s.Mid(2, 2), "cd");
    EXPECT_STREQ(s.Mid(4, 100), "ef");
    EXPECT_STREQ(s.Mid(10), "");
    EXPECT_STREQ(s.Mid(-3, 2), "ab");
    EXPECT_STREQ(s.Left(-1), "");
}

TEST(CString, CompareNoCaseAndFind)
{
    EXPECT_EQ(CString("Ringwell").CompareNoCase("RINGWELL"), 0);
    EXPECT_LT(CString("Ring").CompareNoCase("Ringwell"), 0);
    EXPECT_EQ(CString("a.b.c").Find('.', 2), 3);
    EXPECT_EQ(CString("abc").Find("zz"), -1);
    EXPECT_EQ(CString("abc").Find('a', 7), -1);
}

struct KeywordCase {
    const char* source;
    const char* shown;
};

class RevisionKeyword : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(RevisionKeyword, ShowsTheTextBetweenKeywordAndDollar)
{
    EXPECT_EQ(CutRevisionKeyword(GetParam().source), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Sources, RevisionKeyword,
                         ::testing::Values(KeywordCase{"$Name: TelvaneHost_4_3_4 $", "TelvaneHost_4_3_4 "},
                                           KeywordCase{"$Date: 2002/11/12 21:29:16 $", "2002/11/12 21:29:16 "},
                                           KeywordCase{"$Name: TelvaneClient_4_3_4 $", "TelvaneClient_4_3_4 "},
                                           KeywordCase{"$Date: 2002/11/12 21:27:37 $", "2002/11/12 21:27:37 "},
                                           KeywordCase{"$Name:  $", " "}, KeywordCase{"$Name: $", ""},
                                           KeywordCase{"$Name$", ""}, KeywordCase{"", ""}));

} // namespace
