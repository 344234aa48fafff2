#include <gtest/gtest.h>

#include "framework/text.h"

namespace {

TEST(Text, BoundedCopiesNeverCutAndNeverWritePastTheBuffer)
{
    char buffer[7] = "old";
    buffer[6] = '#';
    EXPECT_FALSE(TextCopy(buffer, 4, "abcd"));  // needs 5 with the terminator
    EXPECT_STREQ("old", buffer);
    EXPECT_TRUE(TextCopy(buffer, 5, "abcd"));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_FALSE(TextAppend(buffer, 6, "ef"));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_TRUE(TextAppend(buffer, 6, "e"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_FALSE(TextConcat(buffer, 6, "ab", "\\", "cde"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_TRUE(TextConcat(buffer, 6, "ab", "\\", "cd"));
    EXPECT_STREQ("ab\\cd", buffer);
    EXPECT_EQ('#', buffer[6]);
}

TEST(Text, WorksOnWideTextAndFindsTheLastCharacter)
{
    wchar_t buffer[8];
    EXPECT_TRUE(TextCopyN(buffer, 8, L"C:\\a\\b", 4));
    EXPECT_STREQ(L"C:\\a", buffer);
    EXPECT_EQ(4, TextFindLast(L"C:\\a\\b", L'\\'));
    EXPECT_EQ(-1, TextFindLast(L"name", L'\\'));
    EXPECT_TRUE(TextEqual(L"", L""));
    EXPECT_FALSE(TextEqual(L"ab", L"abc"));
}

}  // namespace
