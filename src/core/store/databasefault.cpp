#include "store/databasefault.h"

#include "store/serveruri.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace {
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

using EProblem = EDatabaseProblem;
} // namespace

SDatabaseFinding CDatabaseFault::FromSqlError(const QSqlError &error)
{
    // A server's SQLSTATE has five characters; SQLite's codes have at most four digits.
    if (error.nativeErrorCode().size() == 5)
        return FromServerError(error.nativeErrorCode(), error.text());
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case kBusy:
    case kLocked:
        return {EProblem::inUse, error.text()};
    case kReadOnly:
        return {EProblem::readOnly, error.text()};
    case kIoErr:
        return {EProblem::ioError, error.text()};
    case kCorrupt:
        return {EProblem::damaged, error.text()};
    case kFull:
        return {EProblem::diskFull, error.text()};
    case kNotADb:
        return {EProblem::notDatabase, error.text()};
    case kPerm:
    case kAuth:
    case kCantOpen:
        return {EProblem::noAccess, error.text()};
    default:
        return {EProblem::other, error.text()};
    }
}

SDatabaseFinding CDatabaseFault::FromServerError(const QString &state, const QString &text)
{
    if (state.startsWith(QLatin1String("28")) || text.contains(QLatin1String("password authentication failed"))
        || text.contains(QLatin1String("no password supplied")) || text.contains(QLatin1String("authentication failed")))
        return {EProblem::authFailed, text};
    if (state == QLatin1String("3D000")
        || (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist"))))
        return {EProblem::noSuchDatabase, text};
    if (text.contains(QLatin1String("role \"")) && text.contains(QLatin1String("does not exist")))
        return {EProblem::authFailed, text};
    if (state.startsWith(QLatin1String("08")) || text.contains(QLatin1String("could not connect"))
        || text.contains(QLatin1String("Connection refused"))
        || text.contains(QLatin1String("could not translate host name")) || text.contains(QLatin1String("timeout expired"))
        || text.contains(QLatin1String("server closed the connection")) || text.contains(QLatin1String("No route to host"))
        || text.contains(QLatin1String("connection to server")))
        return {EProblem::serverUnreachable, text};
    if (state == QLatin1String("53100"))
        return {EProblem::diskFull, text};
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return {EProblem::readOnly, text};
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01"))
        return {EProblem::inUse, text};
    if (state == QLatin1String("40001"))
        return {EProblem::conflict, text};
    return {EProblem::other, text};
}

QString CDatabaseFault::Cause(EProblem problem, const QString &path)
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
        return QStringLiteral("フォルダ「%1」が見つかりません。ドライブやネットワークの接続を確かめてください。")
            .arg(folder);
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
        return QStringLiteral(
            "データベースファイルはほかのプログラムが使用中です。そのプログラムを終了してから、もう一度お試しください。");
    case EProblem::readOnly:
        return QStringLiteral("データベースファイルが読み取り専用のため書き込めません。");
    case EProblem::diskFull:
        return QStringLiteral("ディスクがいっぱいのため書き込めません。不要なファイルを削除して空きを作ってください。");
    case EProblem::ioError:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。ディスクの障害などが考えられます。");
    case EProblem::exists:
        return QStringLiteral(
            "同じ名前のファイルが既にあり、Morvek のデータベースとして開けないため置き換えません。別の名前を指定してください。");
    case EProblem::folderReadOnly:
        return QStringLiteral("フォルダ「%1」に書き込めません（書き込みが許可されていません）。").arg(folder);
    case EProblem::badUri:
        return QStringLiteral(
                   "接続先「%1」の書き方が正しくありません。postgresql://ユーザー@サーバー:ポート/データベース の形で指定してください。")
            .arg(CServerUri::Shown(path));
    case EProblem::noDriver:
        return QStringLiteral("PostgreSQL に接続する部品（Qt の QPSQL ドライバ）がありません。");
    case EProblem::serverUnreachable:
        return QStringLiteral(
                   "サーバー「%1」に接続できません。サーバーが動いているか、名前・ポート・ネットワークを確かめてください。")
            .arg(CServerUri::Server(path));
    case EProblem::authFailed:
        return QStringLiteral(
                   "サーバー「%1」がユーザー「%2」の接続を認めません。ユーザー名とパスワードを確かめてください。")
            .arg(CServerUri::Server(path), CServerUri::UserName(path));
    case EProblem::noSuchDatabase:
        return QStringLiteral("サーバー「%1」にデータベース「%2」がありません。")
            .arg(CServerUri::Server(path), CServerUri::DatabaseName(path));
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

QString CDatabaseFault::LostText()
{
    return QStringLiteral("サーバーとの接続が切れました。再接続しています…");
}
