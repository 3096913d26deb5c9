// The file dialog's filter list as the real dialog receives it.

#include "platform/qt/qt_platform.h"
#include "support/qt_printers.h"

#include <QAbstractItemView>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct FilterCase
{
    const char* list;
    QStringList expected;
    friend void PrintTo(const FilterCase& c, std::ostream* os) { *os << '"' << c.list << '"'; }
};

class QtFileDialogFilters : public testing::TestWithParam<FilterCase>
{
};

// Every entry keeps its place, so the 1-based index chosen for an entry still picks it.
TEST_P(QtFileDialogFilters, KeepEveryEntryInItsPlace)
{
    EXPECT_EQ(qtFilters(QString::fromLatin1(GetParam().list)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, QtFileDialogFilters,
    testing::Values(
        FilterCase{"All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|",
                   {"All Files (*)", "Text Files (*.TXT)", "Parameter Files (*.ipt)"}},
        FilterCase{"Pictures|*.png;*.jpg|", {"Pictures (*.png *.jpg)"}},
        FilterCase{"|*.ipt|Shown (*.txt)|*.*; *.gif|", {"*.ipt (*.ipt)", "Shown (* *.gif)"}},
        FilterCase{"", {}}));

// What the operator sees in the dialog under each entry of the results file list.
TEST(QtFileDialog, AllFilesOffersFilesWithoutAnExtension)
{
    QTemporaryDir dir;
    for (const char* name : {"README", "pass1.txt", "SlalomOK.ipt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFileDialog dialog(nullptr, QStringLiteral("Read"), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters =
        qtFilters(QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|"));
    dialog.setNameFilters(filters);
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    auto shown = [&] {
        QStringList names;
        const QModelIndex folder = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(folder); ++row)
            names << list->model()->index(row, 0, folder).data().toString();
        names.sort();
        return names;
    };
    const std::vector<QStringList> expected{{"README", "SlalomOK.ipt", "pass1.txt"}, {"pass1.txt"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        dialog.selectNameFilter(filters[qsizetype(i)]);
        const bool seen = QTest::qWaitFor([&] { return shown() == expected[i]; }, 5000);
        EXPECT_TRUE(seen) << filters[qsizetype(i)].toStdString() << " shows "
                          << shown().join(", ").toStdString();
    }
}

} // namespace
