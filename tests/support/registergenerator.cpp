#include "support/registergenerator.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/foldednames.h"
#include "store/schema.h"
#include "store/writetriggers.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <algorithm>

namespace {
const QString kFamilyNames[] = {QStringLiteral("佐藤"), QStringLiteral("鈴木"), QStringLiteral("高橋"),
                                QStringLiteral("田中"), QStringLiteral("伊藤"), QStringLiteral("渡辺"),
                                QStringLiteral("山本"), QStringLiteral("中村")};
const QString kFamilyKana[] = {QStringLiteral("さとう"),   QStringLiteral("すずき"),  QStringLiteral("たかはし"),
                               QStringLiteral("たなか"),   QStringLiteral("いとう"),  QStringLiteral("わたなべ"),
                               QStringLiteral("やまもと"), QStringLiteral("なかむら")};
const QString kGivenKana[] = {QStringLiteral("たろう"), QStringLiteral("はなこ"), QStringLiteral("いちろう"),
                              QStringLiteral("さちこ"), QStringLiteral("けん"),   QStringLiteral("めぐみ")};
const QString kGivenNames[] = {QStringLiteral("太郎"), QStringLiteral("花子"), QStringLiteral("一郎"),
                               QStringLiteral("幸子"), QStringLiteral("健"),   QStringLiteral("恵")};

void Check(QSqlQuery &q)
{
    if (!q.exec())
        throw CDaoException::FromSql(q.lastError(), QStringLiteral("台帳を作成できません。"));
}

QString IsoDate(int year, int month, int day)
{
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

void Fill(CDaoDatabase &database, const CRegisterGenerator::SOptions &options, int companies)
{
    QSqlDatabase db = database.Connection();
    if (!db.transaction())
        throw CDaoException::FromSql(db.lastError(), QStringLiteral("台帳を作成できません。"));
    // The register as it stood before anyone watched: no history of other programs' writes.
    CWriteTriggers::MarkOwn(database);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO Mast00 (ID, Parent, Code, Name, Yuu, Juu1, TEL) VALUES (?,?,?,?,?,?,?)"));
    for (int id = 1; id <= std::max(options.nUnits, companies); ++id) {
        const bool company = id <= companies;
        // Departments hang under a company, or under an earlier department of it.
        const int code = company ? id : 1 + (id - 1) % companies;
        const int parent = company ? 0 : (id > companies * 4 ? id - companies * 3 : code);
        q.addBindValue(id);
        q.addBindValue(parent);
        q.addBindValue(code);
        q.addBindValue(company ? QStringLiteral("会社%1").arg(id) : QStringLiteral("部課%1").arg(id));
        q.addBindValue(QStringLiteral("100-0001"));
        q.addBindValue(QStringLiteral("東京都千代田区%1").arg(id));
        q.addBindValue(QStringLiteral("03-0000-%1").arg(id % 10000, 4, 10, QLatin1Char('0')));
        Check(q);
    }
    q.prepare(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Sdate, Indat, Outdat, Yuu, Juu1, "
                             "TEL, Mem, Pic) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    const int departments = std::max(0, options.nUnits - companies);
    for (int i = 0; i < options.nEmployees; ++i) {
        int busyo = 0;
        if (i < options.nCrowdedUnitEmployees && departments > 0)
            busyo = companies + 1;
        else if (options.nUnaffiliatedEvery <= 0 || i % options.nUnaffiliatedEvery != 0)
            busyo = departments > 1 && options.nCrowdedUnitEmployees > 0
                      ? companies + 2 + i % (departments - 1) // the crowded unit holds only its own
                  : departments > 0 ? companies + 1 + i % departments
                                    : 1 + i % companies;
        q.addBindValue(1 + (qint64(i) * 7919) % 1000003);
        q.addBindValue(busyo);
        q.addBindValue(i % 3 == 0 ? 1 : 0);
        q.addBindValue(kFamilyNames[i % 8] + kGivenNames[(i / 8) % 6] + QString::number(i));
        q.addBindValue(kFamilyKana[i % 8] + QLatin1Char(' ') + kGivenKana[(i / 8) % 6]);
        q.addBindValue(IsoDate(1950 + i % 50, 1 + i % 12, 1 + i % 28));
        q.addBindValue(IsoDate(1990 + i % 30, 4, 1));
        q.addBindValue(i % 10 == 0 ? IsoDate(2020, 3, 31) : QVariant(QMetaType::fromType<QString>()));
        q.addBindValue(QStringLiteral("100-0001"));
        q.addBindValue(QStringLiteral("東京都千代田区丸の内%1").arg(i));
        q.addBindValue(QStringLiteral("03-1234-5678"));
        q.addBindValue(QStringLiteral("メモ"));
        q.addBindValue(options.nPhotoSide > 0 ? CRegisterGenerator::Photo(options.nPhotoSide, i % 97)
                                              : QVariant(QMetaType::fromType<QByteArray>()));
        Check(q);
    }
    q.finish();
    CWriteTriggers::UnmarkOwn(database);
    if (!db.commit())
        throw CDaoException::FromSql(db.lastError(), QStringLiteral("台帳を作成できません。"));
}
} // namespace

QByteArray CRegisterGenerator::Photo(int side, int seed)
{
    if (side <= 0)
        return {};
    const int stride = (side * 3 + 3) & ~3;
    QByteArray dib(40 + stride * side, '\0');
    auto *p = reinterpret_cast<uchar *>(dib.data());
    qToLittleEndian<quint32>(40, p);
    qToLittleEndian<qint32>(side, p + 4);
    qToLittleEndian<qint32>(side, p + 8);
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(24, p + 14);
    qToLittleEndian<quint32>(quint32(stride * side), p + 20);
    for (int y = 0; y < side; ++y) {
        uchar *line = p + 40 + y * stride;
        for (int x = 0; x < side; ++x) {
            line[x * 3] = uchar(x + seed);
            line[x * 3 + 1] = uchar(y * 2 + seed);
            line[x * 3 + 2] = uchar((x ^ y) + seed * 7);
        }
    }
    return dib;
}

void CRegisterGenerator::Generate(const QString &path, const SOptions &options)
{
    const int companies = std::clamp(options.nCompanies, 1, std::max(1, options.nUnits));
    CSchema::CreateDatabaseFile(path);
    try {
        CDaoDatabase database;
        database.Open(path);
        Fill(database, options, companies);
        CFoldedNames::Ensure(database);
        database.Close();
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}
