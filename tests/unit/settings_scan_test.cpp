#include "app/settings_scan.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(ScanIntFields, ReadsEveryFieldOfWellFormedText)
{
    int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    EXPECT_EQ(6, ScanIntFields("200,200,232,400,0,606", {&a, &b, &c, &d, &e, &f}));
    EXPECT_EQ(200, a);
    EXPECT_EQ(400, d);
    EXPECT_EQ(606, f);
    EXPECT_EQ(2, ScanIntFields("-5,+7", {&a, &b}));
    EXPECT_EQ(-5, a);
    EXPECT_EQ(7, b);
}

TEST(ScanIntFields, StopsAtTheFirstFieldThatDoesNotMatchAndKeepsTheRest)
{
    int width = 11, height = 22;
    EXPECT_EQ(1, ScanIntFields("40", {&width, &height}));
    EXPECT_EQ(40, width);
    EXPECT_EQ(22, height);

    width = 11;
    EXPECT_EQ(0, ScanIntFields("abc,5", {&width, &height}));
    EXPECT_EQ(11, width);

    // The comma must follow the number at once, as a scanf literal would.
    EXPECT_EQ(1, ScanIntFields("7 ,8", {&width, &height}));
    EXPECT_EQ(7, width);
    EXPECT_EQ(22, height);

    EXPECT_EQ(1, ScanIntFields("9,x", {&width, &height}));
    EXPECT_EQ(1, ScanIntFields("9;10", {&width, &height}));
    EXPECT_EQ(1, ScanIntFields("3,-", {&width, &height}));
    EXPECT_EQ(22, height);
    EXPECT_EQ(0, ScanIntFields("", {&width}));
    EXPECT_EQ(0, ScanIntFields(nullptr, {&width}));
    EXPECT_EQ(3, width);
}

TEST(ScanIntFields, AllowsBlanksBeforeANumberAndIgnoresTrailingText)
{
    int a = 0, b = 0;
    EXPECT_EQ(2, ScanIntFields("  12,\t34xyz,56", {&a, &b}));
    EXPECT_EQ(12, a);
    EXPECT_EQ(34, b);
}

TEST(ScanIntFields, NumbersBeyondThe32BitRangeReadAsTheNearestLimit)
{
    int a = 0, b = 0, c = 0, d = 0;
    EXPECT_EQ(4, ScanIntFields("2147483647,2147483648,-2147483648,-99999999999999999999999", {&a, &b, &c, &d}));
    EXPECT_EQ(INT_MAX, a);
    EXPECT_EQ(INT_MAX, b);
    EXPECT_EQ(INT_MIN, c);
    EXPECT_EQ(INT_MIN, d);

    // A very long run of digits is still one field, and the next field is read after it.
    std::string digits(5000, '9');
    EXPECT_EQ(2, ScanIntFields((digits + ",3").c_str(), {&a, &b}));
    EXPECT_EQ(INT_MAX, a);
    EXPECT_EQ(3, b);
}

TEST(ScanIntFields, ANullDestinationSkipsAFieldButStillReadsIt)
{
    int a = 0, b = 0;
    EXPECT_EQ(3, ScanIntFields("1,2,3", {&a, nullptr, &b}));
    EXPECT_EQ(1, a);
    EXPECT_EQ(3, b);
}
