// The change history: every write of the register leaves its entries in the same
// transaction (none when it fails), and the register reads back as it stood at the
// end of any day.
#include "csv/csvcolumns.h"
#include "csv/csvexporter.h"
#include "rawconnection.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/history.h"
#include "register/registerasof.h"
#include "register/registerexchange.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "viewsfixture.h"

#include <QDir>
#include <QTemporaryDir>

namespace {
using EWhat = SHistoryEntry::EWhat;
constexpr int kCrowd = 15000;
const QDate kDay(2024, 5, 10); // the day the changes of the as-of cases take effect

QString Names(const QList<SEmployeeRow> &rows)
{
    QStringList names;
    for (const SEmployeeRow &row : rows)
        names << row.strName;
    return names.join(u',');
}

QString ChildNames(const CRegisterAsOf &asOf, qint32 parent)
{
    QStringList names;
    for (const SUnitRow &row : asOf.Children(parent))
        names << row.strName;
    return names.join(u',');
}
} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneEntryPerChange_data();
    void oneEntryPerChange();
    void failedWriteLeavesNone_data();
    void failedWriteLeavesNone();
    void bulkMoveOneEntryEach();
    void asOf_data();
    void asOf();
    void futureTransferRefused();
    void deletedEmployeeKeepsHistory();
    void exportedAsCsv();
    void olderRegisterGetsTheTable();

private:
    qint64 Count() const;
    // Every entry the register took effect on day, as if written then.
    void Backdate(const QDate &day) const;

    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_general = 0, m_yamada = 0, m_sato = 0;
};

void TestHistory::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    m_yamada = CRegisterBuilder::AddEmployee({1, m_sales, QStringLiteral("山田")});
    m_sato = CRegisterBuilder::AddEmployee({2, m_sales, QStringLiteral("佐藤")});
}

void TestHistory::cleanup()
{
    m_db.reset();
}

qint64 TestHistory::Count() const
{
    CRawConnection raw(m_db->Path(), QStringLiteral("count"));
    return raw.Scalar(QStringLiteral("SELECT count(*) FROM ChangeLog")).toLongLong();
}

void TestHistory::Backdate(const QDate &day) const
{
    CRawConnection raw(m_db->Path(), QStringLiteral("backdate"));
    raw.Exec(QStringLiteral("UPDATE ChangeLog SET Eff = %1").arg(day.year() * 10000 + day.month() * 100 + day.day()));
}

void TestHistory::oneEntryPerChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("said"); // as 変更履歴 names the change
    QTest::newRow("employee added") << "add" << int(EWhat::employeeAdded) << ""
                                    << ""
                                    << "鈴木"
                                    << "登録";
    QTest::newRow("name edited") << "name" << int(EWhat::employeeEdited) << "Name"
                                 << "山田"
                                 << "山田 太郎"
                                 << "変更";
    QTest::newRow("sex edited") << "sex" << int(EWhat::employeeEdited) << "Sex"
                                << "男"
                                << "女"
                                << "変更";
    QTest::newRow("photo replaced") << "photo" << int(EWhat::employeeEdited) << "Pic"
                                    << ""
                                    << "(写真)"
                                    << "変更";
    QTest::newRow("moved") << "move" << int(EWhat::employeeMoved) << ""
                           << "本社/営業部"
                           << "本社/総務部"
                           << "異動";
    QTest::newRow("released") << "release" << int(EWhat::employeeMoved) << ""
                              << "本社/営業部"
                              << ""
                              << "異動";
    QTest::newRow("employee deleted") << "delete" << int(EWhat::employeeDeleted) << ""
                                      << "山田"
                                      << ""
                                      << "削除";
    QTest::newRow("unit added") << "unit add" << int(EWhat::unitAdded) << ""
                                << ""
                                << "経理部"
                                << "部署登録";
    QTest::newRow("unit renamed") << "unit rename" << int(EWhat::unitEdited) << "Name"
                                  << "総務部"
                                  << "人事部"
                                  << "部署変更";
    QTest::newRow("unit deleted") << "unit delete" << int(EWhat::unitDeleted) << ""
                                  << "総務部"
                                  << ""
                                  << "部署削除";
    QTest::newRow("company corrected") << "company" << int(EWhat::unitEdited) << "TEL"
                                       << ""
                                       << "03-1234"
                                       << "部署変更";
    QTest::newRow("imported correction") << "import" << int(EWhat::employeeEdited) << "Kana"
                                         << ""
                                         << "やまだ"
                                         << "変更";
    QTest::newRow("company added") << "company add" << int(EWhat::unitAdded) << ""
                                   << ""
                                   << "支社"
                                   << "会社登録";
}

void TestHistory::oneEntryPerChange()
{
    QFETCH(QString, change);
    QFETCH(int, what);
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, said);
    const qint64 start = Count();
    qint32 target = m_yamada;
    CEmployeeEditor editor;
    editor.Open();
    if (change == u"add") {
        target = editor.Add([](CMast01 &record) { record.m_Name = QStringLiteral("鈴木"); }, {});
    } else if (change == u"name" || change == u"sex" || change == u"photo") {
        QVERIFY(editor.ShowById(m_yamada));
        const auto fill = [&change](CMast01 &record) {
            if (change == u"name")
                record.m_Name = QStringLiteral("山田 太郎");
            if (change == u"sex")
                record.m_Sex = true;
        };
        QVERIFY(editor.Update(fill, change == u"photo" ? std::optional(QByteArray("BMphoto")) : std::nullopt));
    } else if (change == u"move" || change == u"release") {
        QCOMPARE(CEmployees::Move({m_yamada}, change == u"move" ? m_general : 0), CEmployees::EMove::moved);
    } else if (change == u"delete") {
        QVERIFY(editor.ShowById(m_yamada));
        QVERIFY(editor.Delete());
    } else if (change == u"unit add") {
        SUnitFields fields;
        fields.strName = QStringLiteral("経理部");
        target = CUnits::AddDepartment(m_company, fields);
    } else if (change == u"unit rename") {
        target = m_general;
        CUnitEditor unit(m_general);
        SUnitFields fields = unit.Fields();
        fields.strName = QStringLiteral("人事部");
        unit.Write(fields);
    } else if (change == u"unit delete") {
        target = m_general;
        QVERIFY(CUnits::Delete(m_general));
    } else if (change == u"company") {
        target = m_company;
        std::optional<SUnitFields> fields = CUnits::Fields(m_company);
        fields->strTel = QStringLiteral("03-1234");
        QCOMPARE(CUnits::SaveCompany(10, *fields), m_company);
    } else if (change == u"company add") {
        SUnitFields fields;
        fields.strName = QStringLiteral("支社");
        target = CUnits::SaveCompany(20, fields);
    } else if (change == u"import") {
        const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
        CRegisterExchange exchange(*db);
        exchange.Begin();
        exchange.WriteEmployee(m_yamada, 1, [](CMast01 &record) { record.m_Kana = QStringLiteral("やまだ"); });
        exchange.Commit();
    }
    QCOMPARE(Count(), start + 1);
    const bool ofUnit = what >= int(EWhat::unitAdded);
    const QList<SHistoryEntry> entries = ofUnit ? CHistory::OfUnit(target) : CHistory::OfEmployee(target);
    QCOMPARE(entries.size(), 1);
    const SHistoryEntry &entry = entries.first();
    QCOMPARE(int(entry.what), what);
    QCOMPARE(entry.nTarget, target);
    QCOMPARE(entry.strField, field);
    QCOMPARE(entry.strOld, before);
    QCOMPARE(entry.strNew, after);
    QCOMPARE(entry.WhatText(), said);
    QCOMPARE(entry.effective, QDate::currentDate());
    QVERIFY(qAbs(entry.when.secsTo(QDateTime::currentDateTime())) < 60);
    QVERIFY(!entry.strWho.isEmpty());
    if (m_db->OnServer())
        QCOMPARE(entry.strWho, QUrl(m_db->Path()).userName());
    else // the account's name, also in a process started without a login
        QVERIFY(entry.strWho != QStringLiteral("?"));
}

void TestHistory::failedWriteLeavesNone_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("edit too long") << "edit";
    QTest::newRow("move refused") << "move";
    QTest::newRow("move into a unit gone") << "gone";
}

void TestHistory::failedWriteLeavesNone()
{
    QFETCH(QString, change);
    const qint64 start = Count();
    if (change == u"edit") {
        CEmployeeEditor editor;
        editor.Open();
        QVERIFY(editor.ShowById(m_yamada));
        QVERIFY_THROWS_EXCEPTION(CDaoException,
                                 editor.Update([](CMast01 &record) { record.m_Name = QString(61, u'名'); }, {}));
    } else if (change == u"move") {
        CRawConnection raw(m_db->Path(), QStringLiteral("refuse"));
        if (m_db->OnServer()) {
            raw.Exec(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'x'; END $$ "
                                    "LANGUAGE plpgsql"));
            raw.Exec(
                QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 FOR EACH ROW EXECUTE FUNCTION refuse()"));
        } else {
            raw.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 BEGIN SELECT RAISE(ABORT, 'x'); END"));
        }
        QVERIFY_THROWS_EXCEPTION(CDaoException, CEmployees::Move({m_yamada, m_sato}, m_general));
    } else {
        QCOMPARE(CEmployees::Move({m_yamada}, 9999), CEmployees::EMove::unitGone);
    }
    QCOMPARE(Count(), start);
}

void TestHistory::bulkMoveOneEntryEach()
{
    QList<CRegisterBuilder::SEmployeeRow> rows;
    for (int i = 0; i < kCrowd; ++i)
        rows << CRegisterBuilder::Numbered(100 + i, m_general);
    const QList<qint32> ids = CRegisterBuilder::AddEmployees(rows);
    QCOMPARE(CEmployees::Move(ids + QList<qint32>{m_yamada}, m_sales), CEmployees::EMove::moved);
    // 山田 was there already: nothing changed for him.
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM ChangeLog WHERE Kind = %1 AND OldUnit = %2 AND NewUnit = %3")
                            .arg(CChangeLog::kEmployeeMoved)
                            .arg(m_general)
                            .arg(m_sales))
                 .toInt(),
             kCrowd);
    QCOMPARE(Count(), kCrowd);
}

void TestHistory::asOf_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("daysAfter");   // the day read, counted from the day the change took effect
    QTest::addColumn<QString>("sales");   // the names in 営業部 then
    QTest::addColumn<QString>("general"); // the names in 総務部 then
    QTest::addColumn<QString>("none");    // the names without a unit then
    QTest::addColumn<QString>("tree");    // the units under the company then
    QTest::addColumn<QString>("yamada");  // 山田 then, name@unit; empty: not there
    for (int days : {-1, 0, 1}) {
        const bool done = days >= 0;
        const QByteArray when = days < 0 ? "before" : days == 0 ? "on" : "after";
        QTest::newRow("transfer, " + when)
            << "transfer" << days << (done ? "佐藤" : "山田,佐藤") << (done ? "山田" : "") << ""
            << "営業部,総務部" << (done ? "山田@総務部" : "山田@営業部");
        QTest::newRow("rename, " + when) << "rename" << days << "山田,佐藤"
                                         << ""
                                         << "" << (done ? "営業部,人事部" : "営業部,総務部") << "山田@営業部";
        QTest::newRow("unit delete, " + when)
            << "unit delete" << days << (done ? "" : "山田,佐藤") << "" << (done ? "山田,佐藤" : "")
            << (done ? "総務部" : "営業部,総務部") << (done ? "山田@" : "山田@営業部");
        QTest::newRow("employee delete, " + when) << "delete" << days << (done ? "佐藤" : "山田,佐藤") << ""
                                                  << ""
                                                  << "営業部,総務部" << (done ? "" : "山田@営業部");
        QTest::newRow("employee add, " + when) << "add" << days << "山田,佐藤"
                                               << "" << (done ? "鈴木" : "") << "営業部,総務部"
                                               << "山田@営業部";
        QTest::newRow("name edit, " + when) << "edit" << days << (done ? "山田 太郎,佐藤" : "山田,佐藤") << ""
                                            << ""
                                            << "営業部,総務部" << (done ? "山田 太郎@営業部" : "山田@営業部");
    }
}

void TestHistory::asOf()
{
    QFETCH(QString, change);
    QFETCH(int, daysAfter);
    QFETCH(QString, sales);
    QFETCH(QString, general);
    QFETCH(QString, none);
    QFETCH(QString, tree);
    QFETCH(QString, yamada);
    CEmployeeEditor editor;
    editor.Open();
    if (change == u"transfer") {
        // Entered today, in effect since kDay.
        QCOMPARE(CEmployees::Move({m_yamada}, m_general, nullptr, kDay), CEmployees::EMove::moved);
    } else {
        if (change == u"rename") {
            CUnitEditor unit(m_general);
            SUnitFields fields = unit.Fields();
            fields.strName = QStringLiteral("人事部");
            unit.Write(fields);
        } else if (change == u"unit delete") {
            QVERIFY(CUnits::Delete(m_sales));
        } else if (change == u"delete") {
            QVERIFY(editor.ShowById(m_yamada));
            QVERIFY(editor.Delete());
        } else if (change == u"add") {
            editor.Add([](CMast01 &record) { record.m_Name = QStringLiteral("鈴木"); }, {});
        } else {
            QVERIFY(editor.ShowById(m_yamada));
            QVERIFY(editor.Update([](CMast01 &record) { record.m_Name = QStringLiteral("山田 太郎"); }, {}));
        }
        Backdate(kDay);
    }
    const CRegisterAsOf asOf(kDay.addDays(daysAfter));
    QCOMPARE(Names(asOf.OfUnit(m_sales)), sales);
    QCOMPARE(Names(asOf.OfUnit(m_general)), general);
    QCOMPARE(Names(asOf.WithoutUnit()), none);
    QCOMPARE(ChildNames(asOf, m_company), tree);
    // The printed list reads the same employees.
    const std::optional<CPrintSource::SCompanyList> printed = asOf.CompanyList(m_company);
    QVERIFY(printed);
    QCOMPARE(qsizetype(printed->records.size()), asOf.OfUnit(m_sales).size() + asOf.OfUnit(m_general).size());
    // One employee, as the view form and a card read them: a card carries the company then.
    const std::optional<CPrintRecord> one = asOf.Employee(m_yamada);
    QCOMPARE(one ? one->m_Name + u'@' + one->m_strPath.simplified() : QString(), yamada);
    const std::optional<CPrintRecord> card = asOf.Card(m_yamada);
    QCOMPARE(card.has_value(), one.has_value());
    if (card)
        QCOMPARE(card->m_strCompany, one->m_Busyo ? QStringLiteral("本社") : QString());
    // Today the register reads as it is.
    const CRegisterAsOf today(QDate::currentDate());
    QCOMPARE(Names(today.OfUnit(m_sales)), Names(CEmployees::OfUnit(m_sales)));
    QCOMPARE(Names(today.WithoutUnit()), Names(CEmployees::WithoutUnit()));
}

void TestHistory::futureTransferRefused()
{
    const QDate tomorrow = QDate::currentDate().addDays(1);
    QVERIFY(!CEmployees::EffectiveDateProblem(tomorrow).isEmpty());
    QCOMPARE(CEmployees::Move({m_yamada}, m_general, nullptr, tomorrow), CEmployees::EMove::badDate);
    QCOMPARE(BusyoOf(m_yamada), m_sales);
    QCOMPARE(Count(), 0);
}

void TestHistory::deletedEmployeeKeepsHistory()
{
    QCOMPARE(CEmployees::Move({m_yamada}, m_general), CEmployees::EMove::moved);
    CUnitEditor unit(m_general);
    SUnitFields fields = unit.Fields();
    fields.strName = QStringLiteral("人事部");
    unit.Write(fields);
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(m_yamada));
    QVERIFY(editor.Delete());
    const QList<SHistoryEntry> entries = CHistory::OfEmployee(m_yamada);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).what, EWhat::employeeDeleted);
    QCOMPARE(entries.at(1).what, EWhat::employeeMoved);
    // The unit as it was named when he moved.
    QCOMPARE(entries.at(1).strNew, QStringLiteral("本社/総務部"));
    QVERIFY(entries.at(0).nSeq > entries.at(1).nSeq);
}

void TestHistory::exportedAsCsv()
{
    QCOMPARE(CEmployees::Move({m_yamada}, m_general, nullptr, kDay), CEmployees::EMove::moved);
    // A value a spreadsheet would run as a formula stays text, as in the other files.
    CUnitEditor unit(m_general);
    SUnitFields fields = unit.Fields();
    fields.strTel = QStringLiteral("=1+1");
    unit.Write(fields);
    QTemporaryDir folder;
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
    SCsvExportResult result;
    QString error;
    QVERIFY2(CCsvExporter(*db).Export(folder.path(), ECsvEncoding::Utf8Bom, result, error), qPrintable(error));
    const QStringList lines = QString::fromUtf8(ReadFile(QDir(folder.path()).filePath(CCsvColumns::HistoryFileName())))
                                  .remove(QChar(0xFEFF))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), CCsvColumns::HistoryHeaders().join(u','));
    const QString line = lines.at(1);
    QVERIFY2(line.contains(QStringLiteral("異動")) && line.contains(QStringLiteral("山田"))
                 && line.endsWith(QStringLiteral("本社/営業部,本社/総務部")),
             qPrintable(line));
    QVERIFY2(lines.at(2).endsWith(QStringLiteral(",'=1+1")), qPrintable(lines.at(2)));
}

void TestHistory::olderRegisterGetsTheTable()
{
    const QString path = m_db->Path();
    CDaoDatabasePool::Release(path);
    {
        CRawConnection raw(path);
        raw.Exec(QStringLiteral("DROP TABLE ChangeLog"));
    }
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(path);
    QVERIFY(CChangeLog::Exists(*db));
    QCOMPARE(CEmployees::Move({m_yamada}, m_general), CEmployees::EMove::moved);
    QCOMPARE(Count(), 1);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
