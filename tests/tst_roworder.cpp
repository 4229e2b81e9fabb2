// The order of a unit's rows by each column of the details style: units on top,
// equal values in code order whichever way, readings in any kana as one.
#include "views/roworder.h"
#include "views/rowimages.h"
#include "register/employeerow.h"

#include <QTest>

namespace {
using SRow = CUnitContentsModel::SRow;
using EColumn = CUnitContentsModel::EColumn;

SRow Employee(qint32 code, const QString &name, bool female, const QString &kana, const CDateValue &joined,
              const QString &tel, const QString &unit)
{
    SRow row = CUnitContentsModel::EmployeeRow(code + 100, female, name);
    row.nCode = code;
    row.strKana = kana;
    row.indat = joined;
    row.strTel = tel;
    row.strUnitPath = unit;
    return row;
}

// Two units read in code order, and employees some of which agree on every column.
std::vector<SRow> Rows()
{
    return {
        Employee(5, QStringLiteral("山田"), false, QStringLiteral("ﾔﾏﾀﾞ"), CDateValue(1990, 4, 1), QStringLiteral("03-2"),
                 QStringLiteral("本社/営業部")),
        CUnitContentsModel::UnitRow(7, false, QStringLiteral("第二課")),
        Employee(3, QStringLiteral("佐藤"), true, QStringLiteral("さとう"), CDateValue(2001, 4, 1), QStringLiteral("03-1"),
                 QStringLiteral("本社")),
        Employee(1, QStringLiteral("山田"), true, QStringLiteral("ヤマダ"), CDateValue(1990, 4, 1), QStringLiteral("03-2"),
                 QStringLiteral("本社/営業部")),
        CUnitContentsModel::UnitRow(2, false, QStringLiteral("第一課")),
        Employee(4, QStringLiteral("阿部"), false, QString(), CDateValue::Zero(), QString(), QString()),
    };
}
} // namespace

class TestRowOrder : public QObject
{
    Q_OBJECT

private slots:
    void byColumn_data();
    void byColumn();
    void joinersTakeTheirPlace_data();
    void joinersTakeTheirPlace();
};

void TestRowOrder::byColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("ascending");  // the codes of the employees after the two units
    QTest::addColumn<QList<int>>("descending"); // ties stay upwards by code
    QTest::newRow("code") << int(EColumn::codeColumn) << QList<int>{1, 3, 4, 5} << QList<int>{5, 4, 3, 1};
    // 佐藤 < 山田 < 阿部 by code points; the two 山田 in code order both ways.
    QTest::newRow("name") << int(EColumn::nameColumn) << QList<int>{3, 1, 5, 4} << QList<int>{4, 1, 5, 3};
    // Half-width, hiragana and katakana as one; no reading first.
    QTest::newRow("reading") << int(EColumn::kanaColumn) << QList<int>{4, 3, 1, 5} << QList<int>{1, 5, 3, 4};
    QTest::newRow("sex") << int(EColumn::sexColumn) << QList<int>{4, 5, 1, 3} << QList<int>{1, 3, 4, 5};
    QTest::newRow("unit") << int(EColumn::unitColumn) << QList<int>{4, 3, 1, 5} << QList<int>{1, 5, 3, 4};
    // The zero date is no date: first upwards.
    QTest::newRow("joined") << int(EColumn::joinedColumn) << QList<int>{4, 1, 5, 3} << QList<int>{3, 1, 5, 4};
    QTest::newRow("tel") << int(EColumn::telColumn) << QList<int>{4, 3, 1, 5} << QList<int>{1, 5, 3, 4};
}

void TestRowOrder::byColumn()
{
    QFETCH(int, column);
    QFETCH(QList<int>, ascending);
    QFETCH(QList<int>, descending);
    for (const auto &[order, expected] : {std::pair{Qt::AscendingOrder, ascending}, {Qt::DescendingOrder, descending}}) {
        std::vector<SRow> rows = Rows();
        CRowOrder::Sort(rows, column, order);
        QCOMPARE(rows.size(), size_t(6));
        // The units keep the order they were read in, on top.
        QCOMPARE(rows[0].strName, QStringLiteral("第二課"));
        QCOMPARE(rows[1].strName, QStringLiteral("第一課"));
        QList<int> codes;
        for (size_t i = 2; i < rows.size(); ++i) {
            QVERIFY(CRowImages::IsEmployee(rows[i].nImage));
            codes.append(rows[i].nCode);
        }
        QCOMPARE(codes, expected);
    }
}

void TestRowOrder::joinersTakeTheirPlace_data()
{
    QTest::addColumn<int>("column"); // -1: the order the register reads them in
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<int>>("joining");
    QTest::addColumn<QList<int>>("codes"); // of the employees after the unit, as the list then holds them
    QTest::newRow("between, by code") << -1 << int(Qt::AscendingOrder) << QList<int>{20} << QList<int>{10, 20, 30};
    QTest::newRow("before all") << -1 << int(Qt::AscendingOrder) << QList<int>{5} << QList<int>{5, 10, 30};
    QTest::newRow("after all") << -1 << int(Qt::AscendingOrder) << QList<int>{40} << QList<int>{10, 30, 40};
    QTest::newRow("several, heard out of order")
        << -1 << int(Qt::AscendingOrder) << QList<int>{40, 5, 20} << QList<int>{5, 10, 20, 30, 40};
    QTest::newRow("code sorted downwards")
        << int(EColumn::codeColumn) << int(Qt::DescendingOrder) << QList<int>{20, 40} << QList<int>{40, 30, 20, 10};
}

// Employees heard joining a list go where it would have read them, not at its end;
// the unit on top stays there.
void TestRowOrder::joinersTakeTheirPlace()
{
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QList<int>, joining);
    QFETCH(QList<int>, codes);
    std::vector<SRow> rows{CUnitContentsModel::UnitRow(1, false, QStringLiteral("第一課"))};
    for (int code : column < 0 || order == Qt::AscendingOrder ? QList<int>{10, 30} : QList<int>{30, 10})
        rows.push_back(Employee(code, QStringLiteral("社員%1").arg(code), false, {}, {}, {}, {}));
    CUnitContentsModel model;
    model.Assign(rows);
    QList<SEmployeeRow> read;
    QList<qint32> asked;
    for (int code : joining) {
        read.append({code + 100, false, QStringLiteral("社員%1").arg(code), code, 7});
        asked.append(code + 100);
    }
    model.FollowEmployees(
        asked, read, [](const SEmployeeRow &) { return true; },
        [column, order](const SRow &a, const SRow &b) { return CRowOrder::Before(a, b, column, Qt::SortOrder(order)); });
    QCOMPARE(model.Row(0).strName, QStringLiteral("第一課"));
    QList<int> shown;
    for (int row = 1; row < model.rowCount(); ++row)
        shown.append(model.Row(row).nCode);
    QCOMPARE(shown, codes);
}

QTEST_GUILESS_MAIN(TestRowOrder)
#include "tst_roworder.moc"
