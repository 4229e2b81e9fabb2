// Finding employees by name or reading: the folded forms, codes and telephone
// numbers, results in code order with the count of the rest, and the folded text
// following every write through the register, an import, and an older register.
#include "rawconnection.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/namesearch.h"
#include "register/register.h"
#include "register/registerexchange.h"
#include "store/daodatabasepool.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>
#include <memory>
#include <optional>

namespace {
struct SPerson {
    qint32 code;
    const char16_t *name;
    const char16_t *kana;
    const char16_t *tel;
};
const SPerson kPeople[] = {
    {7, u"山田 太郎", u"ヤマダ タロウ", u"03-1234-5678"},
    {12, u"佐藤 花子", u"さとう はなこ", u"045-987-6543"},
    {120, u"大野 翔", u"オーノ ショー", u""},
};

qint32 Add(CEmployeeEditor &editor, qint32 code, const QString &name, const QString &kana, const QString &tel = {})
{
    return editor.Add(
        [&](CMast01 &record) {
            record.m_Code = code;
            record.m_Name = name;
            record.m_Kana = kana;
            record.m_TEL = tel;
        },
        {});
}

QList<int> Codes(const SNameSearchResult &result)
{
    QList<int> codes;
    for (const SNameMatch &match : result.matches)
        codes << match.nCode;
    return codes;
}

QList<int> Found(const QString &text)
{
    return Codes(CNameSearch::Find(text));
}
} // namespace

class TestNameSearch final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void finds_data();
    void finds();
    void followsEveryWrite();
    void importRefillsAndLimits();
    void olderRegisterIsFilledWhenOpened_data();
    void olderRegisterIsFilledWhenOpened();
    void anotherProgramsWriteIsFound_data();
    void anotherProgramsWriteIsFound();

private:
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CEmployeeEditor> m_editor;
};

void TestNameSearch::initTestCase()
{
    MORVEK_REQUIRE_BACKEND();
}

void TestNameSearch::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_editor = std::make_unique<CEmployeeEditor>();
    m_editor->Open();
}

void TestNameSearch::cleanup()
{
    m_editor.reset();
    m_db.reset();
}

// The folding itself is tst_namefold's; here it is seen through the register.
void TestNameSearch::finds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("half-width") << QStringLiteral("ﾔﾏﾀﾞ") << QList<int>{7};
    QTest::newRow("over the half-width space") << QStringLiteral("藤花") << QList<int>{12};
    QTest::newRow("long vowel marks") << QStringLiteral("おーのしょー") << QList<int>{120};
    QTest::newRow("code start and telephone, code order") << QStringLiteral("12") << QList<int>{7, 12, 120};
    QTest::newRow("code only") << QStringLiteral("120") << QList<int>{120};
    QTest::newRow("full-width code") << QStringLiteral("１２０") << QList<int>{120};
    QTest::newRow("telephone with hyphen") << QStringLiteral("045-98") << QList<int>{12};
    QTest::newRow("nobody") << QStringLiteral("いのうえ") << QList<int>{};
    QTest::newRow("spaces only") << QStringLiteral(" \u3000") << QList<int>{};
}

void TestNameSearch::finds()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, codes);

    // Added highest code first: ID order is not code order.
    for (auto it = std::crbegin(kPeople); it != std::crend(kPeople); ++it)
        Add(*m_editor, it->code, QString::fromUtf16(it->name), QString::fromUtf16(it->kana), QString::fromUtf16(it->tel));
    const SNameSearchResult result = CNameSearch::Find(text);
    QCOMPARE(Codes(result), codes);
    QCOMPARE(result.nMore, 0);
}

// Each write is followed; the unit's path comes with the match.
void TestNameSearch::followsEveryWrite()
{
    const qint32 company = CRegisterBuilder::AddUnit({0, 1, QStringLiteral("本社")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 1, QStringLiteral("営業部")});
    QCOMPARE(Found(QStringLiteral("やまだ")), QList<int>{});
    const qint32 id = Add(*m_editor, 7, QStringLiteral("山田 太郎"), QStringLiteral("ヤマダ タロウ"));
    QCOMPARE(Found(QStringLiteral("やまだ")), QList<int>{7});

    QVERIFY(m_editor->ShowById(id));
    QVERIFY(m_editor->Update([](CMast01 &record) { record.m_Kana = QStringLiteral("ヤマモト タロウ"); }, {}));
    QCOMPARE(Found(QStringLiteral("やまだ")), QList<int>{});
    QCOMPARE(Found(QStringLiteral("やまもと")), QList<int>{7});

    QCOMPARE(CEmployees::Move({id}, sales), CEmployees::EMove::moved);
    const SNameSearchResult moved = CNameSearch::Find(QStringLiteral("太郎"));
    QCOMPARE(moved.matches.size(), 1);
    QCOMPARE(moved.matches.first().strPath, QStringLiteral("本社/営業部"));
    QCOMPARE(moved.matches.first().strKana, QStringLiteral("ヤマモト タロウ"));
    QCOMPARE(moved.matches.first().nID, id);

    QVERIFY(m_editor->ShowById(id));
    QVERIFY(m_editor->Delete());
    QCOMPARE(Found(QStringLiteral("太郎")), QList<int>{});
}

// An import refills the table; more than the list holds are counted, not listed.
void TestNameSearch::importRefillsAndLimits()
{
    CRegisterExchange exchange(*CRegister::Connection());
    exchange.Begin();
    for (int code = 205; code >= 1; --code)
        exchange.WriteEmployee(0, code, [code](CMast01 &record) {
            record.m_Name = QStringLiteral("社員%1").arg(code);
            record.m_Kana = QStringLiteral("しゃいん");
        });
    exchange.Commit();

    const SNameSearchResult result = CNameSearch::Find(QStringLiteral("ｼｬｲﾝ"));
    QCOMPARE(result.matches.size(), CNameSearch::kShown);
    QCOMPARE(result.matches.first().nCode, 1);
    QCOMPARE(result.matches.last().nCode, 200);
    QCOMPARE(result.nMore, 5);
    QCOMPARE(Found(QStringLiteral("社員205")), QList<int>{205});
}

// A register from before the table, or written by a build that does not keep it.
void TestNameSearch::olderRegisterIsFilledWhenOpened_data()
{
    QTest::addColumn<bool>("dropTable");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("without the table") << true << false;
    QTest::newRow("rows added by an older build") << false << false;
    QTest::newRow("without the table, read-only") << true << true;
}

void TestNameSearch::olderRegisterIsFilledWhenOpened()
{
    QFETCH(bool, dropTable);
    QFETCH(bool, readOnly);
    if (readOnly && m_db->OnServer())
        QSKIP("a register on a server is never opened read-only");

    m_editor.reset();
    CRegisterBuilder::AddEmployee({.code = 3, .name = QStringLiteral("鈴木 一郎"), .kana = QStringLiteral("すずき")});
    CDaoDatabasePool::Release(m_db->Path());
    if (dropTable) {
        CRawConnection raw(m_db->Path());
        raw.Exec(QStringLiteral("DROP TABLE Mast01Fold"));
    }
    if (readOnly)
        QVERIFY(QFile::setPermissions(m_db->Path(), QFile::ReadOwner));
    QCOMPARE(Found(QStringLiteral("スズキ")), QList<int>{3});
    if (readOnly) { // found without writing anything
        CRawConnection raw(m_db->Path(), QStringLiteral("check"));
        QCOMPARE(raw.Column(QStringLiteral("SELECT name FROM sqlite_master WHERE name = 'Mast01Fold'")), QStringList());
    }
}

// Another program of ours wrote: the stamp it raised makes the index read again.
void TestNameSearch::anotherProgramsWriteIsFound_data()
{
    QTest::addColumn<QString>("sql"); // what the other program runs, in plain SQL
    QTest::addColumn<bool>("ownEditAfter");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("codes");
    const QString added = QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Name, Kana) VALUES (2, 0, '秋山', 'あきやま')");
    const QString renamed = QStringLiteral("UPDATE Mast01 SET Name = '秋山', Kana = 'あきやま' WHERE Code = 1");
    QTest::newRow("added") << added << false << "あき" << QList<int>{2};
    QTest::newRow("added, then an edit of ours") << added << true << "あき" << QList<int>{2};
    QTest::newRow("renamed: the new name") << renamed << false << "秋山" << QList<int>{1};
    QTest::newRow("renamed: not the old") << renamed << false << "青木" << QList<int>{};
    QTest::newRow("renamed, then an edit of ours") << renamed << true << "あきやま" << QList<int>{1};
    QTest::newRow("recoded") << QStringLiteral("UPDATE Mast01 SET Code = 5 WHERE Code = 1") << false << "あお"
                             << QList<int>{5};
    QTest::newRow("deleted") << QStringLiteral("DELETE FROM Mast01 WHERE Code = 1") << false << "あお" << QList<int>{};
}

// sqlite3, psql or a script writes: the next search finds what it wrote, also
// after a write of ours that the index follows by itself.
void TestNameSearch::anotherProgramsWriteIsFound()
{
    QFETCH(QString, sql);
    QFETCH(bool, ownEditAfter);
    QFETCH(QString, query);
    QFETCH(QList<int>, codes);
    Add(*m_editor, 1, QStringLiteral("青木"), QStringLiteral("あおき"));
    Add(*m_editor, 3, QStringLiteral("田中"), QStringLiteral("たなか"));
    QCOMPARE(Found(QStringLiteral("あおき")), QList<int>{1});
    {
        CRawConnection raw(m_db->Path());
        raw.Exec(sql);
    }
    if (ownEditAfter) {
        QVERIFY(m_editor->ShowCode(3));
        QVERIFY(m_editor->Update([](CMast01 &record) { record.m_Kana = QStringLiteral("たなか はじめ"); }, std::nullopt));
        QCOMPARE(Found(QStringLiteral("はじめ")), QList<int>{3});
    }
    QCOMPARE(Found(query), codes);
}

QTEST_MAIN(TestNameSearch)
#include "tst_namesearch.moc"
