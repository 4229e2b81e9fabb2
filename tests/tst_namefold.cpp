// The folding that lets a reading typed in any of its forms find a person.
#include "store/namefold.h"

#include <QTest>

class TestNameFold : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void numberQuery_data();
    void numberQuery();
};

// Whether the folded query lies within the folded name, reading and telephone.
void TestNameFold::matching_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");

    const QString yamada = QStringLiteral("山田 太郎");
    const QString reading = QStringLiteral("ヤマダ タロウ");
    QTest::newRow("hiragana") << yamada << reading << QStringLiteral("やまだ") << true;
    QTest::newRow("katakana") << yamada << reading << QStringLiteral("ヤマダ") << true;
    QTest::newRow("half-width with voiced mark") << yamada << reading << QStringLiteral("ﾔﾏﾀﾞ") << true;
    QTest::newRow("kanji") << yamada << reading << QStringLiteral("山田") << true;
    QTest::newRow("given name half-width") << yamada << reading << QStringLiteral("ﾀﾛｳ") << true;
    QTest::newRow("across the space") << yamada << reading << QStringLiteral("ダタロ") << true;
    QTest::newRow("full-width space in query") << yamada << reading << QStringLiteral("山田\u3000太郎") << true;
    QTest::newRow("unvoiced does not match") << yamada << reading << QStringLiteral("やまた") << false;
    QTest::newRow("name with half-width space")
        << QStringLiteral("佐藤 花子") << QStringLiteral("さとう はなこ") << QStringLiteral("藤花") << true;
    QTest::newRow("long vowel mark, half-width query")
        << QStringLiteral("大野 翔") << QStringLiteral("オーノ ショー") << QStringLiteral("ｵｰﾉｼｮｰ") << true;
    QTest::newRow("long vowel mark in hiragana")
        << QStringLiteral("大野 翔") << QStringLiteral("オーノ ショー") << QStringLiteral("おーの") << true;
    QTest::newRow("long vowel is not a vowel")
        << QStringLiteral("大野 翔") << QStringLiteral("オーノ ショー") << QStringLiteral("おおの") << false;
    QTest::newRow("full-width latin, upper case")
        << QStringLiteral("Ｓｍｉｔｈ　Ｊｏｈｎ") << QStringLiteral("スミス") << QStringLiteral("SMITH") << true;
    QTest::newRow("small kana kept apart")
        << QStringLiteral("吉川") << QStringLiteral("キッカワ") << QStringLiteral("きつ") << false;
    QTest::newRow("iteration mark") << QStringLiteral("佐々木") << QStringLiteral("みすゞ") << QStringLiteral("ミスヾ")
                                    << true;
    QTest::newRow("no match across name and reading")
        << QStringLiteral("山田") << QStringLiteral("ヤマダ") << QStringLiteral("田ヤ") << false;
}

void TestNameFold::matching()
{
    QFETCH(QString, name);
    QFETCH(QString, kana);
    QFETCH(QString, query);
    QFETCH(bool, found);

    const QString words = CNameFold::Words(name, kana, QStringLiteral("03-1234-5678"));
    QCOMPARE(words.contains(CNameFold::Fold(query)), found);
}

void TestNameFold::numberQuery_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("digits");

    QTest::newRow("digits") << QStringLiteral("1234") << QStringLiteral("1234");
    QTest::newRow("full-width digits") << QStringLiteral("１２３") << QStringLiteral("123");
    QTest::newRow("telephone with hyphens") << QStringLiteral("03-1234") << QStringLiteral("031234");
    QTest::newRow("telephone with full-width hyphen") << QStringLiteral("03－1234") << QStringLiteral("031234");
    QTest::newRow("telephone with long vowel mark") << QStringLiteral("03ー1234") << QStringLiteral("031234");
    QTest::newRow("a name") << QStringLiteral("山田1") << QString();
    QTest::newRow("hyphens alone") << QStringLiteral("--") << QString();
}

void TestNameFold::numberQuery()
{
    QFETCH(QString, typed);
    QFETCH(QString, digits);
    QCOMPARE(CNameFold::NumberQuery(CNameFold::Fold(typed)), digits);
}

QTEST_APPLESS_MAIN(TestNameFold)
#include "tst_namefold.moc"
