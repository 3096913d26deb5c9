#include "common/paths.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

struct SeparatorCase
{
    const char* typed;
    const char* folder;
    bool changed;
};

void PrintTo(const SeparatorCase& c, std::ostream* os)
{
    *os << '"' << c.typed << '"';
}

class TrailingSeparatorTest : public ::testing::TestWithParam<SeparatorCase>
{
};

TEST_P(TrailingSeparatorTest, DropsOneTrailingSeparator)
{
    bool changed = !GetParam().changed;
    EXPECT_EQ(withoutTrailingSeparator(QString::fromLatin1(GetParam().typed), &changed),
              QString::fromLatin1(GetParam().folder));
    EXPECT_EQ(changed, GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(Cases, TrailingSeparatorTest,
                         ::testing::Values(SeparatorCase{"C:\\Results\\", "C:\\Results", true},
                                           SeparatorCase{"/data/results/", "/data/results", true},
                                           SeparatorCase{"/data//", "/data/", true},
                                           SeparatorCase{"/data", "/data", false},
                                           SeparatorCase{"\\", "", true},
                                           SeparatorCase{"", "", false}));

TEST(ResultsFilePath, JoinsFolderAndName)
{
    EXPECT_EQ(resultsFilePath("/data/results", "ResultLog1207.txt"),
              "/data/results/ResultLog1207.txt");
    EXPECT_EQ(resultsFilePath("/data/results/", "test.txt"), "/data/results/test.txt");
    // Backslashes typed on a Windows workstation still name the same folder.
    EXPECT_EQ(resultsFilePath("/data\\results", "test.txt"), "/data/results/test.txt");
}

TEST(ResultsFilePath, RelativeFoldersLiveInTheProgramFolder)
{
    EXPECT_EQ(resultsFilePath("Default", "acc1207.txt", "/opt/wakeline"),
              "/opt/wakeline/Default/acc1207.txt");
    EXPECT_EQ(resultsFilePath("", "test.txt", "/opt/wakeline"), "/opt/wakeline/test.txt");
    EXPECT_EQ(resultsFilePath("/abs", "test.txt", "/opt/wakeline"), "/abs/test.txt");
}

} // namespace
