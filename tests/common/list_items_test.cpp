#include "common/list_items.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

struct ItemsCase
{
    const char* name;
    const char* text;
    QStringList items;
};

void PrintTo(const ItemsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListItemsTest : public ::testing::TestWithParam<ItemsCase>
{
};

TEST_P(ListItemsTest, SplitsByTheDelimitedItemRule)
{
    EXPECT_EQ(readListItems(QString::fromUtf8(GetParam().text)), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListItemsTest,
    ::testing::Values(
        ItemsCase{"OneNamePerLine", "Jones\r\nSmith\r\n", {"Jones", "Smith"}},
        ItemsCase{"CommaMakesTwoItems", "Smith, John\r\n", {"Smith", "John"}},
        ItemsCase{"QuotedItemKeepsItsComma", "\"Smith, John\"\r\nLee\r\n", {"Smith, John", "Lee"}},
        ItemsCase{"LeadingBlanksSkipped", "   Jones\r\n\t Lee\r\n", {"Jones", "Lee"}},
        ItemsCase{"EmptyLinesGiveNoItem", "\r\nJones\r\n\r\n   \r\nLee\r\n\r\n", {"Jones", "Lee"}},
        ItemsCase{"LastLineWithoutLineEnd", "Jones\r\nLee", {"Jones", "Lee"}},
        ItemsCase{"BareLineFeedsAndCarriageReturns", "A\nB\rC\r\n", {"A", "B", "C"}},
        ItemsCase{"EmptyFile", "", {}},
        ItemsCase{"QuotedBlanksKept", "\"  Jones  \"\r\n", {"  Jones  "}},
        ItemsCase{"EmptyQuotedItem", "\"\"\r\nLee\r\n", {"", "Lee"}},
        ItemsCase{"TwoCommasMakeAnEmptyItem", "A,,B\r\n", {"A", "", "B"}},
        ItemsCase{"TextAfterClosingQuoteDropped", "\"Smith\" jr, John\r\n", {"Smith", "John"}},
        ItemsCase{"UnclosedQuoteRunsToTheEnd", "\"Smith, John", {"Smith, John"}},
        ItemsCase{"NonAsciiNames", "Müller, Zoë\r\n", {"Müller", "Zoë"}},
        ItemsCase{"DuplicatesKeptInFileOrder", "B\r\nA\r\nB\r\n", {"B", "A", "B"}}));

} // namespace
