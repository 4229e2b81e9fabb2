#include "dates/eracalendar.h"
#include "dates/eradate.h"
#include "dates/datevalue.h"

#include <QObject>
#include <QString>
#include <QTest>

class TestEraDate : public QObject
{
    Q_OBJECT

private slots:
    void toEraText_data();
    void toEraText();
    void fromEraText_data();
    void fromEraText();
    void fromWesternText_data();
    void fromWesternText();
    void checkDateText_data();
    void checkDateText();
    void formatEra_data();
    void formatEra();
    void constructedHoldsToday();
    void labels();
    void dateValueStates();
};

void TestEraDate::toEraText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("era");

    // The era index starts at 3 so that "left as it was" is seen.
    QTest::newRow("before Meiji") << QDate(1868, 9, 7) << QString() << 3;
    QTest::newRow("Meiji first") << QDate(1868, 9, 8) << "010908" << 1;
    QTest::newRow("Meiji last") << QDate(1912, 7, 29) << "450729" << 1;
    QTest::newRow("Taisho first") << QDate(1912, 7, 30) << "010730" << 2;
    QTest::newRow("Taisho last") << QDate(1926, 12, 24) << "151224" << 2;
    QTest::newRow("Showa first") << QDate(1926, 12, 25) << "011225" << 3;
    QTest::newRow("Showa last") << QDate(1989, 1, 7) << "640107" << 3;
    QTest::newRow("Heisei first") << QDate(1989, 1, 8) << "010108" << 4;
    QTest::newRow("Heisei 10") << QDate(1998, 1, 1) << "100101" << 4;
    QTest::newRow("Heisei last") << QDate(2019, 4, 30) << "310430" << 4;
    QTest::newRow("Reiwa first") << QDate(2019, 5, 1) << "010501" << 5;
    QTest::newRow("Reiwa 8") << QDate(2026, 12, 7) << "081207" << 5;
}

void TestEraDate::toEraText()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QFETCH(int, era);

    int gotEra = 3;
    const CDateValue value(date);
    QCOMPARE(CEraCalendar::ToEraText(value, gotEra), text);
    QCOMPARE(gotEra, era);
    QCOMPARE(CEraCalendar::EraOf(value), text.isEmpty() ? CEraCalendar::NoEra : era);
    if (!text.isEmpty())
        QCOMPARE(CEraCalendar::FromEraText(text, era), value);
}

void TestEraDate::fromEraText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("era");
    QTest::addColumn<QDate>("date"); // a null QDate: the value must be invalid

    QTest::newRow("no Feb 29 in 1998") << "100229" << 4 << QDate();
    QTest::newRow("Feb 29 1988") << "630229" << 3 << QDate(1988, 2, 29);
    QTest::newRow("Showa 70 not checked") << "700101" << 3 << QDate(1995, 1, 1);
    QTest::newRow("Heisei 0") << "000101" << 4 << QDate(1988, 1, 1);
    QTest::newRow("Reiwa Feb 29") << "060229" << 5 << QDate(2024, 2, 29);
    QTest::newRow("era 0") << "100101" << 0 << QDate();
    QTest::newRow("short day piece") << "31052" << 4 << QDate(2019, 5, 2);
    QTest::newRow("day piece missing") << "3105" << 4 << QDate();
}

void TestEraDate::fromEraText()
{
    QFETCH(QString, text);
    QFETCH(int, era);
    QFETCH(QDate, date);

    const CDateValue value = CEraCalendar::FromEraText(text, era);
    if (date.isValid()) {
        QCOMPARE(value.Date(), date);
    } else {
        QCOMPARE(value.GetStatus(), CDateValue::Invalid);
        QCOMPARE(value.GetYear(), -1);
    }
}

void TestEraDate::fromWesternText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("29 is 2029") << "291231" << QDate(2029, 12, 31);
    QTest::newRow("30 is 1930") << "300101" << QDate(1930, 1, 1);
    QTest::newRow("2000 leap") << "000229" << QDate(2000, 2, 29);
}

void TestEraDate::fromWesternText()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);

    const CDateValue value = CEraCalendar::FromWesternText(text);
    QCOMPARE(value.Date(), date);
    QCOMPARE(CEraCalendar::ToWesternText(value), text);
}

void TestEraDate::checkDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("eraText");
    QTest::addColumn<int>("era");
    QTest::addColumn<int>("result");

    QTest::newRow("Heisei 10 Feb 29") << "100229" << true << 4 << 1;
    QTest::newRow("Showa 63 Feb 29") << "630229" << true << 3 << 0;
    QTest::newRow("Showa 4 Feb 29") << "040229" << true << 3 << 1;
    QTest::newRow("Reiwa 6 Feb 29") << "060229" << true << 5 << 0;
    QTest::newRow("era 0 rejects all") << "630229" << true << 0 << 1;
    QTest::newRow("Western 2000 Feb 29") << "000229" << false << 0 << 0;
    QTest::newRow("Western 2001 Feb 29") << "010229" << false << 0 << 1;
    QTest::newRow("Western 1963 Feb 29") << "630229" << false << 0 << 1;
    QTest::newRow("month 13") << "991301" << false << 0 << 1;
    QTest::newRow("day 0") << "990100" << false << 0 << 1;
    QTest::newRow("April 31") << "990431" << false << 0 << 1;
}

void TestEraDate::checkDateText()
{
    QFETCH(QString, text);
    QFETCH(bool, eraText);
    QFETCH(int, era);
    QFETCH(int, result);

    QCOMPARE(CEraDate::CheckDateText(text, eraText, era), result);
}

void TestEraDate::formatEra_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("text"); // the kept text afterwards

    const QString printed = QStringLiteral(" %e年 %m月 %d日\n");
    QTest::newRow("Heisei 10") << QDate(1998, 1, 1) << printed << u"平成  10 年 01月 01日\n"_qs << u" 年 01月 01日\n"_qs;
    QTest::newRow("Taisho 9") << QDate(1920, 5, 3) << printed << u"大正   9 年 05月 03日\n"_qs << u" 年 05月 03日\n"_qs;
    QTest::newRow("Reiwa 8") << QDate(2026, 12, 7) << printed << u"令和   8 年 12月 07日\n"_qs << u" 年 12月 07日\n"_qs;
    QTest::newRow("Showa 64 %e last") << QDate(1989, 1, 7) << u"%m/%d %e"_qs << u"昭和  6401/07 "_qs << u"01/07 "_qs;
    QTest::newRow("no era") << QDate(1868, 9, 7) << printed << u" 年 09月 07日\n"_qs << u" 年 09月 07日\n"_qs;
    QTest::newRow("no %e") << QDate(1998, 1, 1) << u"%y/%m/%d"_qs << u"98/01/01"_qs << u"980101"_qs;
}

void TestEraDate::formatEra()
{
    QFETCH(QDate, date);
    QFETCH(QString, format);
    QFETCH(QString, result);
    QFETCH(QString, text);

    CEraDate eraDate;
    eraDate.SetDate(CDateValue(date));
    QCOMPARE(eraDate.FormatEra(format), result);
    QCOMPARE(eraDate.GetText(), text);
}

void TestEraDate::constructedHoldsToday()
{
    CEraDate eraDate;
    const CDateValue today = CDateValue::CurrentTime();
    QCOMPARE(eraDate.GetDate(), today);
    QCOMPARE(eraDate.GetText(), today.Format(u"%y%m%d"_qs));
    QCOMPARE(CEraCalendar::EraOf(today), 5);

    QCOMPARE(eraDate.SetDate(CDateValue(1930, 1, 1)), u"300101"_qs);
    QCOMPARE(eraDate.GetDate(), CDateValue(1930, 1, 1));
}

void TestEraDate::labels()
{
    // The date field steps through these with PageUp and PageDown.
    QString shown;
    for (int era = CEraCalendar::NoEra; era <= CEraCalendar::MaxEra; ++era)
        shown += CEraCalendar::EraLabel(era, true);
    QCOMPARE(shown, u"和暦明治大正昭和平成令和"_qs);
    QCOMPARE(CEraCalendar::EraLabel(0, false), u"西暦"_qs);
}

void TestEraDate::dateValueStates()
{
    QCOMPARE(CDateValue(99, 1, 1).GetStatus(), CDateValue::Invalid);
    const CDateValue null;
    QCOMPARE(null.GetYear(), -1);
    QVERIFY(!(null == CDateValue::Zero()));
}

QTEST_GUILESS_MAIN(TestEraDate)
#include "tst_eradate.moc"
