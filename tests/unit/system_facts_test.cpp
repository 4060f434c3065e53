#include "dialogs/system_facts.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

namespace {

TEST(GroupDigits, PutsACommaBeforeEveryFullGroupOfThreeFromTheRight)
{
    EXPECT_EQ("0", GroupDigits(0));
    EXPECT_EQ("256", GroupDigits(256));
    EXPECT_EQ("640", GroupDigits(640));
    EXPECT_EQ("16,384", GroupDigits(16384));
    EXPECT_EQ("16,777,216", GroupDigits(16777216));
    // One to ten digits: n digits give n + (n - 1) / 3 characters.
    const char* const expected[] = {"1", "12", "123", "1,234", "12,345", "123,456", "1,234,567",
                                    "12,345,678", "123,456,789", "1,234,567,890"};
    uint64_t value = 0;
    for (size_t n = 1; n <= 10; ++n) {
        value = value * 10 + n % 10;
        EXPECT_EQ(expected[n - 1], GroupDigits(value));
        EXPECT_EQ(n + (n - 1) / 3, GroupDigits(value).size());
    }
}

TEST(GroupDigits, ShowsTodaysMemorySizesWhole)
{
    EXPECT_EQ("33,554,432", GroupDigits(uint64_t{32} << 20));         // 32 GB in KB
    EXPECT_EQ("4,294,967,296", GroupDigits(uint64_t{1} << 32));       // 4 TB in KB
    EXPECT_EQ("18,446,744,073,709,551,615", GroupDigits(UINT64_MAX));  // the widest
}

TEST(ColourCount, IsPlanesTimesTwoToTheBitsPerPixel)
{
    EXPECT_EQ(256u, ColourCount(1, 8));
    EXPECT_EQ(16777216u, ColourCount(1, 24));
    EXPECT_EQ(8u, ColourCount(4, 1)) << "not 2^(4 x 1)";
    EXPECT_EQ(2u, ColourCount(1, 1));
    EXPECT_EQ(0u, ColourCount(0, 8));
    // 32 bits per pixel no longer fits 32 bits; the true count is shown.
    EXPECT_EQ(uint64_t{4294967296}, ColourCount(1, 32));
    EXPECT_EQ("4,294,967,296", GroupDigits(*ColourCount(1, 32)));
    EXPECT_EQ(uint64_t{1} << 63, ColourCount(2, 62));
}

TEST(ColourCount, AbsurdDisplaysGiveNoCountRatherThanAWrongOne)
{
    EXPECT_FALSE(ColourCount(-1, 8));
    EXPECT_FALSE(ColourCount(1, -1));
    EXPECT_FALSE(ColourCount(1, 64));
    EXPECT_FALSE(ColourCount(1, 1000));
    EXPECT_FALSE(ColourCount(3, 63));
    EXPECT_FALSE(ColourCount(INT32_MAX, 62));
    EXPECT_FALSE(ColourCount(INT32_MIN, INT32_MIN));
}

TEST(ProcessorNameId, ClassicTypesNameTheirProcessors)
{
    const uint16_t intel = 0, mips = 1, alpha = 2;
    EXPECT_EQ(unsigned{IDS_CPU_80386}, ProcessorNameId(386, intel));
    EXPECT_EQ(unsigned{IDS_CPU_80486}, ProcessorNameId(486, intel));
    EXPECT_EQ(unsigned{IDS_CPU_PENTIUM}, ProcessorNameId(586, intel));
    EXPECT_EQ(unsigned{IDS_CPU_I860}, ProcessorNameId(860, intel));
    EXPECT_EQ(unsigned{IDS_CPU_R2000}, ProcessorNameId(2000, mips));
    EXPECT_EQ(unsigned{IDS_CPU_R3000}, ProcessorNameId(3000, mips));
    EXPECT_EQ(unsigned{IDS_CPU_R4000}, ProcessorNameId(4000, mips));
    EXPECT_EQ(unsigned{IDS_CPU_21064}, ProcessorNameId(21064, alpha));
}

TEST(ProcessorNameId, TodaysProcessorsAreNamedByTheirArchitecture)
{
    const uint16_t intel = 0, arm = 5, ia64 = 6, amd64 = 9, wow64 = 10, arm64 = 12;
    EXPECT_EQ(unsigned{IDS_CPU_X64}, ProcessorNameId(8664, amd64));
    EXPECT_EQ(unsigned{IDS_CPU_IA64}, ProcessorNameId(2200, ia64));
    // ARM64 machines report no processor type, or an old ARM one.
    EXPECT_EQ(unsigned{IDS_CPU_ARM64}, ProcessorNameId(0, arm64));
    EXPECT_EQ(unsigned{IDS_CPU_ARM64}, ProcessorNameId(2336, arm64));
    EXPECT_EQ(unsigned{IDS_CPU_ARM}, ProcessorNameId(2336, arm));
    EXPECT_EQ(unsigned{IDS_CPU_ARM}, ProcessorNameId(0, arm));
    // An x86 type the table does not know still says x86.
    EXPECT_EQ(unsigned{IDS_CPU_X86}, ProcessorNameId(686, intel));
    EXPECT_EQ(unsigned{IDS_CPU_X86}, ProcessorNameId(0, wow64));
    // An x64 type beside an unknown architecture is still named.
    EXPECT_EQ(unsigned{IDS_CPU_X64}, ProcessorNameId(8664, 0xffff));
}

TEST(ProcessorNameId, NothingKnownGivesNoName)
{
    EXPECT_EQ(0u, ProcessorNameId(0, 0xffff));
    EXPECT_EQ(0u, ProcessorNameId(601, 3));  // a PowerPC
    EXPECT_EQ(0u, ProcessorNameId(UINT32_MAX, 200));
}

TEST(BuildStamp, JoinsTimeAndDateAsTheCompilerSpellsThem)
{
    EXPECT_EQ("15:20:49 on Jul  6 1995", BuildStamp("15:20:49", "Jul  6 1995"));
    const std::string stamp = BuildStamp(__TIME__, __DATE__);
    EXPECT_TRUE(std::regex_match(stamp, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9] on "
                                                   "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                                   "[ 1-3][0-9] [0-9]{4}")))
        << stamp;
    EXPECT_EQ(" on ", BuildStamp(nullptr, nullptr));
}

}  // namespace
