// Two users of one register, on a file and on the server: a write lands only
// over what its user read.
#include "rawconnection.h"
#include "testsupport.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/mast01.h"
#include "store/schema.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
enum class EAction { name, tel, busyo, remove };
enum class EOutcome { bothLand, secondTold, secondFindsItGone };

void Apply(CMast01 &set, EAction action, const QString &text, qint32 unit)
{
    if (action == EAction::remove) {
        set.Delete();
        return;
    }
    set.Edit();
    if (action == EAction::name)
        set.m_Name = text;
    else if (action == EAction::tel)
        set.m_TEL = text;
    else
        set.m_Busyo = unit;
    set.Update();
}
} // namespace

class TestConcurrency final : public QObject
{
    Q_OBJECT

private slots:
    void twoUsersOneEmployee_data();
    void twoUsersOneEmployee();

private:
    // A fresh register with one employee (TEL empty as NULL); returns its path.
    QString Fresh(const QString &backend);
    QTemporaryDir m_dir;
};

QString TestConcurrency::Fresh(const QString &backend)
{
    QString path;
    if (backend == QLatin1String("server")) {
        path = TestServerUri();
        ClearTestServer(path);
    } else {
        path = m_dir.filePath(QStringLiteral("shared.mdb"));
        QFile::remove(path);
    }
    CSchema::CreateDatabaseFile(path);
    CRawConnection raw(path, QStringLiteral("setup"));
    raw.Exec(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Name) VALUES (1, 0, 'yamada')"));
    return path;
}

void TestConcurrency::twoUsersOneEmployee_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<EAction>("first");
    QTest::addColumn<EAction>("second");
    QTest::addColumn<EOutcome>("outcome");
    for (const char *backend : {"file", "server"}) {
        const auto row = [backend](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", backend, name) << QString::fromLatin1(backend);
        };
        row("same field") << EAction::name << EAction::name << EOutcome::secondTold;
        row("same field, empty when read") << EAction::tel << EAction::tel << EOutcome::secondTold;
        row("different fields") << EAction::name << EAction::tel << EOutcome::bothLand;
        row("moved to two units") << EAction::busyo << EAction::busyo << EOutcome::secondTold;
        row("deleted meanwhile") << EAction::remove << EAction::name << EOutcome::secondFindsItGone;
    }
}

void TestConcurrency::twoUsersOneEmployee()
{
    QFETCH(QString, backend);
    QFETCH(EAction, first);
    QFETCH(EAction, second);
    QFETCH(EOutcome, outcome);
    if (backend == QLatin1String("server") && TestServerUri().isEmpty())
        QSKIP("PostgreSQL not tested: set MORVEK_TEST_PGURI (scripts/test.sh starts a server)");
    const QString path = Fresh(backend);

    // Two programs, each with its own connection; both show the employee first.
    CDaoDatabase dbA, dbB;
    dbA.Open(path);
    dbB.Open(path);
    CMast01 a(&dbA), b(&dbB);
    a.Open();
    b.Open();
    QVERIFY(a.FindFirst(QStringLiteral("Code = 1")));
    QVERIFY(b.FindFirst(QStringLiteral("Code = 1")));

    Apply(a, first, QStringLiteral("first"), 11);
    try {
        Apply(b, second, QStringLiteral("second"), 22);
        QCOMPARE(outcome, EOutcome::bothLand);
    } catch (const CDaoException &error) {
        QVERIFY2(outcome != EOutcome::bothLand, error.what());
        QCOMPARE(error.IsConflict(), outcome == EOutcome::secondTold);
        QCOMPARE(error.Lead(), outcome == EOutcome::secondTold
                                   ? QStringLiteral("他のユーザーが変更しました。")
                                   : QStringLiteral("このレコードは他の操作で削除されています。"));
    }

    CRawConnection raw(path, QStringLiteral("check"));
    const QString rowSql = QStringLiteral("SELECT Name || '/' || coalesce(TEL, '-') || '/' || Busyo FROM Mast01");
    if (outcome == EOutcome::secondFindsItGone) {
        QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01")).toInt(), 0);
        return;
    }
    const QString firstWrote = first == EAction::name ? QStringLiteral("first/-/0")
                             : first == EAction::tel  ? QStringLiteral("yamada/first/0")
                                                      : QStringLiteral("yamada/-/11");
    if (outcome == EOutcome::bothLand) {
        QCOMPARE(raw.Scalar(rowSql).toString(), QStringLiteral("first/second/0"));
        return;
    }
    // The first change stays, nothing of the second was written, and the second
    // user's set shows the row as it is now.
    QCOMPARE(raw.Scalar(rowSql).toString(), firstWrote);
    QCOMPARE(QStringLiteral("%1/%2/%3").arg(b.m_Name, b.m_TEL.isEmpty() ? QStringLiteral("-") : b.m_TEL).arg(b.m_Busyo),
             firstWrote);
    QCOMPARE(b.GetEditMode(), int(CDaoRecordset::dbEditNone));
    // Told, the second user may write over what is there now.
    Apply(b, second, QStringLiteral("second"), 22);
    const QString secondWrote = second == EAction::name ? QStringLiteral("second/-/0")
                              : second == EAction::tel  ? QStringLiteral("yamada/second/0")
                                                        : QStringLiteral("yamada/-/22");
    QCOMPARE(raw.Scalar(rowSql).toString(), secondWrote);
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
