#include "store/databasecheck.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/schema.h"
#include "store/serverdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

namespace {
constexpr qint64 kHeaderSize = 100;
const char kMagic[] = "SQLite format 3";

// SQLite's primary result codes that have a plain meaning for the user.
constexpr int kPerm = 3;
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kReadOnly = 8;
constexpr int kIoErr = 10;
constexpr int kCorrupt = 11;
constexpr int kFull = 13;
constexpr int kCantOpen = 14;
constexpr int kAuth = 23;
constexpr int kNotADb = 26;

using EProblem = CDatabaseCheck::EProblem;
using SFinding = CDatabaseCheck::SFinding;

quint32 BigEndian32(const QByteArray &bytes, int offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

// After a crash the engine rolls the file back from these; its size may not match the header until then.
bool HasJournal(const QString &path)
{
    return QFile::exists(path + QStringLiteral("-journal")) || QFile::exists(path + QStringLiteral("-wal"));
}

SFinding Found(EProblem problem, const QString &detail = {})
{
    return SFinding{problem, detail};
}
} // namespace

QString CDatabaseCheck::Shown(const QString &path)
{
    if (CServerDatabase::IsUri(path))
        return CServerDatabase::Shown(path);
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

CDatabaseCheck::SFinding CDatabaseCheck::InspectFile(const QString &path)
{
    if (path.isEmpty())
        return Found(EProblem::noPath);
    const QFileInfo info(path);
    if (!info.exists())
        return Found(QFileInfo(info.absolutePath()).isDir() ? EProblem::missing : EProblem::folderMissing);
    if (!info.isFile())
        return Found(EProblem::notAFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Found(EProblem::noAccess, file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return Found(EProblem::empty);
    const QByteArray head = file.read(kHeaderSize);
    if (!head.startsWith(QByteArray(kMagic, sizeof kMagic)))
        return Found(EProblem::notDatabase);
    if (head.size() < kHeaderSize)
        return Found(EProblem::truncated, QStringLiteral("%1 バイトしかありません。").arg(size));

    quint32 pageSize = qFromBigEndian<quint16>(head.constData() + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return Found(EProblem::damaged, QStringLiteral("ページの大きさ %1 は正しくありません。").arg(pageSize));
    if (HasJournal(path))
        return {};
    // The page count in the header counts only when the write counter beside it agrees.
    const quint32 pages = BigEndian32(head, 28);
    const bool pagesValid = pages != 0 && BigEndian32(head, 24) == BigEndian32(head, 92);
    const qint64 expected = pagesValid ? qint64(pages) * pageSize : size;
    if (size % pageSize != 0 || size < expected) {
        return Found(EProblem::truncated,
                     QStringLiteral("ファイルの長さ %1 バイト、本来の長さ %2 バイト").arg(size).arg(expected));
    }
    return {};
}

CDatabaseCheck::SFinding CDatabaseCheck::FromSqlError(const QSqlError &error)
{
    // A server's SQLSTATE has five characters; SQLite's codes have at most four digits.
    if (error.nativeErrorCode().size() == 5)
        return CServerDatabase::FromError(error.nativeErrorCode(), error.text());
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case kBusy:
    case kLocked:
        return Found(EProblem::inUse, error.text());
    case kReadOnly:
        return Found(EProblem::readOnly, error.text());
    case kIoErr:
        return Found(EProblem::ioError, error.text());
    case kCorrupt:
        return Found(EProblem::damaged, error.text());
    case kFull:
        return Found(EProblem::diskFull, error.text());
    case kNotADb:
        return Found(EProblem::notDatabase, error.text());
    case kPerm:
    case kAuth:
    case kCantOpen:
        return Found(EProblem::noAccess, error.text());
    default:
        return Found(EProblem::other, error.text());
    }
}

CDatabaseCheck::SFinding CDatabaseCheck::InspectConnection(const QSqlDatabase &db)
{
    // One statement, since every record set opening asks: the version first, then
    // each column of our two tables.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT 0, '', user_version FROM pragma_user_version UNION ALL "
                               "SELECT 1, lower(m.name), lower(p.name) FROM sqlite_master AS m "
                               "JOIN pragma_table_info(m.name) AS p "
                               "WHERE m.type = 'table' AND lower(m.name) IN ('mast00', 'mast01')"))
        || !q.next()) {
        return FromSqlError(q.lastError());
    }
    const int version = q.value(2).toInt();
    if (version > CDaoDatabase::kSchemaVersion) {
        return Found(EProblem::newerVersion, QStringLiteral("ファイルの版は %1、この版で読めるのは %2 までです。")
                                                 .arg(version)
                                                 .arg(CDaoDatabase::kSchemaVersion));
    }
    QSet<QString> present; // "table.column"
    while (q.next())
        present.insert(q.value(1).toString() + QLatin1Char('.') + q.value(2).toString());
    if (q.lastError().isValid())
        return FromSqlError(q.lastError());

    const QStringList lacking = CSchema::Lacking(present);
    if (!lacking.isEmpty())
        return Found(EProblem::wrongTables, lacking.join(QLatin1Char(' ')));
    return {};
}

QString CDatabaseCheck::Cause(EProblem problem, const QString &path)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    switch (problem) {
    case EProblem::none:
        return {};
    case EProblem::noPath:
        return QStringLiteral("データベースファイルが指定されていません。");
    case EProblem::missing:
        return QStringLiteral("ファイルが見つかりません。");
    case EProblem::folderMissing:
        return QStringLiteral("フォルダ「%1」が見つかりません。ドライブやネットワークの接続を確かめてください。").arg(folder);
    case EProblem::notAFile:
        return QStringLiteral("この名前はフォルダで、ファイルではありません。");
    case EProblem::noAccess:
        return QStringLiteral("ファイルを読み書きする権限がないか、ファイルを開けない場所にあります。");
    case EProblem::empty:
        return QStringLiteral("ファイルが空です（0 バイト）。データベースではありません。");
    case EProblem::notDatabase:
        return QStringLiteral("このファイルはデータベースではないか、壊れています。");
    case EProblem::truncated:
        return QStringLiteral("ファイルが途中で切れていて、壊れています。");
    case EProblem::damaged:
        return QStringLiteral("データベースファイルが壊れています。");
    case EProblem::newerVersion:
        return QStringLiteral("新しい版の Morvek で作られたファイルのため、この版では開けません。");
    case EProblem::wrongTables:
        return QStringLiteral("Morvek の社員台帳のデータベースではありません（必要な表や項目がありません）。");
    case EProblem::inUse:
        return QStringLiteral("データベースファイルはほかのプログラムが使用中です。そのプログラムを終了してから、もう一度お試しください。");
    case EProblem::readOnly:
        return QStringLiteral("データベースファイルが読み取り専用のため書き込めません。");
    case EProblem::diskFull:
        return QStringLiteral("ディスクがいっぱいのため書き込めません。不要なファイルを削除して空きを作ってください。");
    case EProblem::ioError:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。ディスクの障害などが考えられます。");
    case EProblem::exists:
        return QStringLiteral("同じ名前のファイルが既にあり、Morvek のデータベースとして開けないため置き換えません。別の名前を指定してください。");
    case EProblem::folderReadOnly:
        return QStringLiteral("フォルダ「%1」に書き込めません（書き込みが許可されていません）。").arg(folder);
    case EProblem::badUri:
        return QStringLiteral("接続先「%1」の書き方が正しくありません。postgresql://ユーザー@サーバー:ポート/データベース の形で指定してください。")
            .arg(CServerDatabase::Shown(path));
    case EProblem::noDriver:
        return QStringLiteral("PostgreSQL に接続する部品（Qt の QPSQL ドライバ）がありません。");
    case EProblem::serverUnreachable:
        return QStringLiteral("サーバー「%1」に接続できません。サーバーが動いているか、名前・ポート・ネットワークを確かめてください。")
            .arg(CServerDatabase::Server(path));
    case EProblem::authFailed:
        return QStringLiteral("サーバー「%1」がユーザー「%2」の接続を認めません。ユーザー名とパスワードを確かめてください。")
            .arg(CServerDatabase::Server(path), CServerDatabase::UserName(path));
    case EProblem::noSuchDatabase:
        return QStringLiteral("サーバー「%1」にデータベース「%2」がありません。")
            .arg(CServerDatabase::Server(path), CServerDatabase::DatabaseName(path));
    case EProblem::serverEmpty:
        return QStringLiteral("データベースに社員台帳の表がまだありません。");
    case EProblem::foreignDatabase:
        return QStringLiteral("このデータベースには社員台帳ではないものが入っています。何も変えずにおきます。");
    case EProblem::conflict:
        return QStringLiteral("他のユーザーが変更しました。");
    case EProblem::other:
        return QStringLiteral("データベースファイルを読み書きできません。");
    }
    return {};
}

CDaoException CDatabaseCheck::OpenFailure(const QString &path, const SFinding &finding)
{
    if (finding.problem == EProblem::noPath)
        return CDaoException(Cause(finding.problem, path), finding.detail).WithProblem(finding.problem);
    const QString lead = CServerDatabase::IsUri(path) ? QStringLiteral("データベース「%1」を開けません。")
                                                      : QStringLiteral("データベースファイル「%1」を開けません。");
    return CDaoException(lead.arg(Shown(path)) + QLatin1Char('\n') + Cause(finding.problem, path), finding.detail)
        .WithProblem(finding.problem);
}

CDaoException CDatabaseCheck::CreateFailure(const QString &path, const SFinding &finding)
{
    const QString lead = CServerDatabase::IsUri(path) ? QStringLiteral("データベース「%1」に表を作成できません。")
                                                      : QStringLiteral("データベースファイル「%1」を作成できません。");
    return CDaoException(lead.arg(Shown(path)) + QLatin1Char('\n') + Cause(finding.problem, path), finding.detail)
        .WithProblem(finding.problem);
}
