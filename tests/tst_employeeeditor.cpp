// The employee editor under the master form: stepping by code past the ends, a
// correction that lands only over what it read, and listeners told only of what
// was kept.
#include "rawconnection.h"
#include "register/employeeeditor.h"
#include "register/register.h"
#include "store/daoexception.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <memory>

namespace {
using EKind = SRegisterChange::EKind;

// In ID order: 青木 10, 佐藤 20, 鈴木 20, 田中 30.
const std::pair<qint32, const char16_t *> kStaff[] = {{10, u"青木"}, {20, u"佐藤"}, {20, u"鈴木"}, {30, u"田中"}};

QString ShownName(const CEmployeeEditor &editor)
{
    return editor.ShownID() ? editor.Record().m_Name : QString();
}
} // namespace

class TestEmployeeEditor final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void stepsByCode_data();
    void stepsByCode();
    void correctionLandsOnlyOverWhatItRead_data();
    void correctionLandsOnlyOverWhatItRead();
    void retriedSaveKeepsWhatItShowed_data();
    void retriedSaveKeepsWhatItShowed();
    void toldOnlyWhatIsKept_data();
    void toldOnlyWhatIsKept();
    void photoTakesPartInTheConflictRule_data();
    void photoTakesPartInTheConflictRule();
    void emptyTextAndMissingValueStayApart_data();
    void emptyTextAndMissingValueStayApart();

private:
    qint32 IdOf(const QString &name) const { return m_ids.value(name); }
    QString Row(qint32 id);
    void SetPhoto(qint32 id, const QByteArray &photo);
    QByteArray Photo(qint32 id);

    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CEmployeeEditor> m_editor;
    QHash<QString, qint32> m_ids;
};

void TestEmployeeEditor::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_ids.clear();
    for (const auto &[code, name] : kStaff)
        m_ids.insert(QString::fromUtf16(name),
                     CRegisterBuilder::AddEmployee({.code = code, .busyo = 7, .name = QString::fromUtf16(name)}));
    m_editor = std::make_unique<CEmployeeEditor>();
    m_editor->Open();
}

void TestEmployeeEditor::cleanup()
{
    m_editor.reset();
    m_db.reset();
}

// Name/TEL/Busyo of one row as another program reads it; "-" for none.
QString TestEmployeeEditor::Row(qint32 id)
{
    CRawConnection raw(m_db->Path(), QStringLiteral("check"));
    const QVariant row = raw.Scalar(
        QStringLiteral("SELECT Name || '/' || coalesce(TEL, '-') || '/' || Busyo FROM Mast01 WHERE ID = %1").arg(id));
    return row.isNull() ? QStringLiteral("-") : row.toString();
}

// Written by another program; an empty photo is none.
void TestEmployeeEditor::SetPhoto(qint32 id, const QByteArray &photo)
{
    CRawConnection raw(m_db->Path(), QStringLiteral("photo"));
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("photo")));
    QVERIFY(q.prepare(QStringLiteral("UPDATE Mast01 SET Pic = ? WHERE ID = ?")));
    q.addBindValue(photo.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(photo));
    q.addBindValue(id);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

QByteArray TestEmployeeEditor::Photo(qint32 id)
{
    CRawConnection raw(m_db->Path(), QStringLiteral("check"));
    return raw.Scalar(QStringLiteral("SELECT Pic FROM Mast01 WHERE ID = %1").arg(id)).toByteArray();
}

// Steps: "next", "previous", "from N" (the first code at least N), "code N" (exactly N).
void TestEmployeeEditor::stepsByCode_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("lastFound");
    QTest::addColumn<QString>("shown");
    QTest::newRow("previous past the lowest") << "青木" << QStringList{"previous"} << false << "青木";
    QTest::newRow("next past the highest") << "田中" << QStringList{"next"} << false << "田中";
    QTest::newRow("next passes the other of a shared code") << "佐藤" << QStringList{"next"} << true << "田中";
    QTest::newRow("previous lands on the last of a shared code") << "田中" << QStringList{"previous"} << true << "鈴木";
    QTest::newRow("up to the end and one more") << "青木" << QStringList{"next", "next", "next"} << false << "田中";
    QTest::newRow("down to the start and one more")
        << "田中" << QStringList{"previous", "previous", "previous"} << false << "青木";
    QTest::newRow("code shared: the first in order") << "田中" << QStringList{"code 20"} << true << "佐藤";
    QTest::newRow("code nobody has") << "田中" << QStringList{"code 25"} << false << "田中";
    QTest::newRow("from a free code") << "青木" << QStringList{"from 25"} << true << "田中";
    QTest::newRow("from below all") << "田中" << QStringList{"from -5"} << true << "青木";
    QTest::newRow("from above all") << "佐藤" << QStringList{"from 31"} << false << "佐藤";
    QTest::newRow("steps from what was found") << "田中" << QStringList{"from 11", "next"} << true << "田中";
}

void TestEmployeeEditor::stepsByCode()
{
    QFETCH(QString, start);
    QFETCH(QStringList, steps);
    QFETCH(bool, lastFound);
    QFETCH(QString, shown);
    QVERIFY(m_editor->ShowById(IdOf(start)));
    bool found = true;
    for (const QString &step : steps) {
        const qint32 code = step.section(u' ', 1).toInt();
        found = step == u"next"          ? m_editor->ShowNext()
              : step == u"previous"      ? m_editor->ShowPrevious()
              : step.startsWith(u"from") ? m_editor->ShowFromCode(code)
                                         : m_editor->ShowCode(code);
    }
    QCOMPARE(found, lastFound);
    QCOMPARE(ShownName(*m_editor), shown);
    QCOMPARE(m_editor->ShownID(), IdOf(shown));
    QCOMPARE(m_editor->Record().m_ID, IdOf(shown));
}

// 青木 is shown; another program then changes a field (or nothing), and the form saves its own change.
void TestEmployeeEditor::correctionLandsOnlyOverWhatItRead_data()
{
    QTest::addColumn<QString>("theirs"); // SET clause of the other program, empty for none
    QTest::addColumn<QString>("mine");   // "Name" or "TEL"
    QTest::addColumn<bool>("conflict");
    QTest::addColumn<QString>("stored");
    QTest::newRow("same field") << "Name = '他'"
                                << "Name" << true << "他/-/7";
    QTest::newRow("same field, empty when read") << "TEL = '111'"
                                                 << "TEL" << true << "青木/111/7";
    QTest::newRow("another field") << "TEL = '111'"
                                   << "Name" << false << "私/111/7";
    QTest::newRow("a field the form does not show") << "Busyo = 8"
                                                    << "Name" << false << "私/-/8";
    QTest::newRow("nobody else") << ""
                                 << "TEL" << false << "青木/私/7";
}

void TestEmployeeEditor::correctionLandsOnlyOverWhatItRead()
{
    QFETCH(QString, theirs);
    QFETCH(QString, mine);
    QFETCH(bool, conflict);
    QFETCH(QString, stored);
    const qint32 id = IdOf(QStringLiteral("青木"));
    QVERIFY(m_editor->ShowCode(10));
    if (!theirs.isEmpty()) {
        CRawConnection other(m_db->Path(), QStringLiteral("other"));
        other.Exec(QStringLiteral("UPDATE Mast01 SET %1 WHERE ID = %2").arg(theirs).arg(id));
    }
    QSignalSpy told(&CRegister::Instance(), &CRegister::Changed);
    const auto fill = [&mine](CMast01 &record) { (mine == u"Name" ? record.m_Name : record.m_TEL) = QStringLiteral("私"); };
    try {
        QVERIFY(m_editor->Update(fill, {}));
        QVERIFY2(!conflict, "the other program's change was written over");
    } catch (const CDaoException &error) {
        QVERIFY2(conflict, error.what());
        QVERIFY(error.IsConflict());
        QCOMPARE(error.Lead(), QStringLiteral("他のユーザーが変更しました。"));
    }
    QCOMPARE(Row(id), stored);
    QCOMPARE(told.count(), conflict ? 0 : 1);
    // The record holds the row as it is now, still the one shown.
    const CMast01 &record = m_editor->Record();
    QCOMPARE(QStringLiteral("%1/%2/%3")
                 .arg(record.m_Name, record.m_TEL.isEmpty() ? QStringLiteral("-") : record.m_TEL)
                 .arg(record.m_Busyo),
             stored);
    QCOMPARE(m_editor->ShownID(), id);
    if (!conflict)
        return;
    // Told, the user may save again over what is there now.
    QVERIFY(m_editor->Update(fill, {}));
    QCOMPARE(Row(id), mine == u"Name" ? QStringLiteral("私/-/7") : QStringLiteral("青木/私/7"));
}

void TestEmployeeEditor::retriedSaveKeepsWhatItShowed_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("a field too wide") << "wide";
    QTest::newRow("the folded names cannot follow") << "fold";
}

// The first save fails after another user changed TEL: nothing of it is kept, and
// the retried save still compares with what the form showed, writing only the name
// over what is there now instead of the TEL the form still holds.
void TestEmployeeEditor::retriedSaveKeepsWhatItShowed()
{
    QFETCH(QString, failure);
    const qint32 id = IdOf(QStringLiteral("青木"));
    CRawConnection other(m_db->Path(), QStringLiteral("other"));
    other.Exec(QStringLiteral("UPDATE Mast01 SET TEL = '111' WHERE ID = %1").arg(id));
    QVERIFY(m_editor->ShowCode(10));
    other.Exec(QStringLiteral("UPDATE Mast01 SET TEL = '222' WHERE ID = %1").arg(id));
    // The form puts back every field it shows.
    QString name = failure == u"wide" ? QString(61, u'長') : QStringLiteral("私");
    const auto fill = [&name](CMast01 &record) {
        record.m_Name = name;
        record.m_TEL = QStringLiteral("111");
    };
    if (failure == u"fold")
        other.Exec(QStringLiteral("ALTER TABLE Mast01Fold RENAME TO Mast01Away"));
    QVERIFY_THROWS_EXCEPTION(CDaoException, m_editor->Update(fill, {}));
    if (failure == u"fold")
        other.Exec(QStringLiteral("ALTER TABLE Mast01Away RENAME TO Mast01Fold"));
    QCOMPARE(Row(id), QStringLiteral("青木/222/7"));
    name = QStringLiteral("私");
    QVERIFY(m_editor->Update(fill, {}));
    QCOMPARE(Row(id), QStringLiteral("私/222/7"));
}

// 青木 is shown with a photo; another program may change it before the form saves.
void TestEmployeeEditor::photoTakesPartInTheConflictRule_data()
{
    QTest::addColumn<QByteArray>("theirs"); // the other program's photo; "-" for no change, "" to remove it
    QTest::addColumn<QByteArray>("mine");   // the form's; "-" when the user left the photo alone
    QTest::addColumn<bool>("conflict");
    QTest::addColumn<QByteArray>("stored");
    const QByteArray read(1240, 'r');
    QTest::newRow("both change it") << QByteArray("their5") << QByteArray(800, 'm') << true << QByteArray("their5");
    QTest::newRow("they removed it, I change it") << QByteArray() << QByteArray(800, 'm') << true << QByteArray();
    QTest::newRow("they change it, I change a field")
        << QByteArray("their5") << QByteArray("-") << false << QByteArray("their5");
    QTest::newRow("nobody else") << QByteArray("-") << QByteArray(800, 'm') << false << QByteArray(800, 'm');
    QTest::newRow("nobody else, I remove it") << QByteArray("-") << QByteArray() << false << QByteArray();
    QTest::newRow("nobody changes it") << QByteArray("-") << QByteArray("-") << false << read;
}

void TestEmployeeEditor::photoTakesPartInTheConflictRule()
{
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, mine);
    QFETCH(bool, conflict);
    QFETCH(QByteArray, stored);
    const qint32 id = IdOf(QStringLiteral("青木"));
    SetPhoto(id, QByteArray(1240, 'r'));
    QVERIFY(m_editor->ShowCode(10));
    QCOMPARE(m_editor->Record().m_Pic.Data(), QByteArray(1240, 'r')); // shown, as the form does
    if (theirs != "-")
        SetPhoto(id, theirs);
    const auto fill = [](CMast01 &record) { record.m_Name = QStringLiteral("私"); };
    try {
        QVERIFY(m_editor->Update(fill, mine == "-" ? std::nullopt : std::optional<QByteArray>(mine)));
        QVERIFY2(!conflict, "the other program's photo was written over");
    } catch (const CDaoException &error) {
        QVERIFY2(conflict && error.IsConflict(), error.what());
    }
    QCOMPARE(Photo(id), stored);
    QCOMPARE(Row(id), conflict ? QStringLiteral("青木/-/7") : QStringLiteral("私/-/7"));
}

// A field stored as empty text and one never filled read the same on the form,
// yet each keeps what it is through a save, and correcting either is no conflict.
void TestEmployeeEditor::emptyTextAndMissingValueStayApart_data()
{
    QTest::addColumn<QString>("tel"); // as stored: SQL
    QTest::addColumn<QString>("mine");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty text, another field saved") << "''"
                                                     << "Name"
                                                     << "私//7";
    QTest::newRow("missing, another field saved") << "NULL"
                                                  << "Name"
                                                  << "私/-/7";
    QTest::newRow("empty text corrected") << "''"
                                          << "TEL"
                                          << "青木/私/7";
    QTest::newRow("missing corrected") << "NULL"
                                       << "TEL"
                                       << "青木/私/7";
}

void TestEmployeeEditor::emptyTextAndMissingValueStayApart()
{
    QFETCH(QString, tel);
    QFETCH(QString, mine);
    QFETCH(QString, stored);
    const qint32 id = IdOf(QStringLiteral("青木"));
    {
        CRawConnection other(m_db->Path(), QStringLiteral("other"));
        other.Exec(QStringLiteral("UPDATE Mast01 SET TEL = %1 WHERE ID = %2").arg(tel).arg(id));
    }
    QVERIFY(m_editor->ShowCode(10));
    QVERIFY(m_editor->Record().m_TEL.isEmpty());
    const auto fill = [&mine](CMast01 &record) { (mine == u"Name" ? record.m_Name : record.m_TEL) = QStringLiteral("私"); };
    try {
        QVERIFY(m_editor->Update(fill, std::nullopt));
    } catch (const CDaoException &error) {
        QFAIL(error.what());
    }
    QCOMPARE(Row(id), stored);
}

void TestEmployeeEditor::toldOnlyWhatIsKept_data()
{
    QTest::addColumn<QString>("action");  // add, update, delete
    QTest::addColumn<QString>("trouble"); // none, too long, gone
    QTest::addColumn<int>("kind");        // -1: nobody told
    QTest::newRow("add") << "add"
                         << "none" << int(EKind::employeeAdded);
    QTest::newRow("add, name too long") << "add"
                                        << "too long" << -1;
    QTest::newRow("update") << "update"
                            << "none" << int(EKind::employeeChanged);
    QTest::newRow("update, name too long") << "update"
                                           << "too long" << -1;
    QTest::newRow("update, removed meanwhile") << "update"
                                               << "gone" << -1;
    QTest::newRow("delete") << "delete"
                            << "none" << int(EKind::employeeDeleted);
}

void TestEmployeeEditor::toldOnlyWhatIsKept()
{
    QFETCH(QString, action);
    QFETCH(QString, trouble);
    QFETCH(int, kind);
    const qint32 shown = IdOf(QStringLiteral("佐藤"));
    QVERIFY(m_editor->ShowById(shown));
    if (trouble == u"gone") {
        CRawConnection other(m_db->Path(), QStringLiteral("other"));
        other.Exec(QStringLiteral("DELETE FROM Mast01 WHERE ID = %1").arg(shown));
    }
    const QString name = trouble == u"too long" ? QString(61, u'名') : QStringLiteral("山田");
    const auto fill = [&name](CMast01 &record) {
        record.m_Code = 40;
        record.m_Name = name;
    };
    QSignalSpy told(&CRegister::Instance(), &CRegister::Changed);
    qint32 id = shown;
    bool written = false;
    try {
        if (action == u"add")
            id = m_editor->Add(fill, QByteArray("photo"));
        else if (action == u"update")
            written = m_editor->Update(fill, {});
        else
            written = m_editor->Delete();
        written = written || action == u"add";
    } catch (const CDaoException &error) {
        QVERIFY2(trouble == u"too long", error.what());
    }
    QCOMPARE(written, kind >= 0);
    QCOMPARE(told.count(), kind >= 0 ? 1 : 0);
    if (kind < 0) {
        QCOMPARE(Row(shown), trouble == u"gone" ? QStringLiteral("-") : QStringLiteral("佐藤/-/7"));
        CRawConnection raw(m_db->Path(), QStringLiteral("count"));
        QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01")).toInt(), trouble == u"gone" ? 3 : 4);
        return;
    }
    const auto change = told.first().first().value<SRegisterChange>();
    QCOMPARE(int(change.kind), kind);
    QCOMPARE(change.ids, QList<qint32>{id});
    // A new employee has no unit; a corrected one keeps its own.
    QCOMPARE(Row(id), action == u"delete" ? QStringLiteral("-")
                      : action == u"add"  ? QStringLiteral("山田/-/0")
                                          : QStringLiteral("山田/-/7"));
}

QTEST_GUILESS_MAIN(TestEmployeeEditor)
#include "tst_employeeeditor.moc"
