#include "config/Table.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvex::config;

TEST(Table, GrowsFrom32By64AndKeepsEveryCopy)
{
    Table table;
    EXPECT_EQ(table.Capacity(), 32u);
    EXPECT_EQ(table.At(0), nullptr);
    std::wstring source;
    for (int i = 0; i < 200; ++i) {
        source = L"key" + std::to_wstring(i);
        ASSERT_TRUE(table.Add(source));
        source.assign(source.size(), L'#');  // the table must hold its own copy
        if (i == 31) {
            EXPECT_EQ(table.Capacity(), 32u);
        }
        if (i == 32) {
            EXPECT_EQ(table.Capacity(), 96u);
        }
        if (i == 96) {
            EXPECT_EQ(table.Capacity(), 160u);
        }
    }
    EXPECT_EQ(table.Count(), 200u);
    EXPECT_EQ(table.Capacity(), 224u);
    for (int i = 0; i < 200; ++i) {
        ASSERT_NE(table.At(i), nullptr);
        EXPECT_EQ(std::wstring(table.At(i)), L"key" + std::to_wstring(i));
    }
    EXPECT_EQ(table.At(200), nullptr);
    EXPECT_EQ(table.At(static_cast<std::size_t>(-1)), nullptr);
}

TEST(Table, KeepsEmptyAndEmbeddedTexts)
{
    Table table;
    ASSERT_TRUE(table.Add(L""));
    ASSERT_TRUE(table.Add(std::wstring_view(L"abcdef", 3)));
    EXPECT_STREQ(table.At(0), L"");
    EXPECT_STREQ(table.At(1), L"abc");
}
