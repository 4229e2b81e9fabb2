#include "daoexception.h"

#include <QSqlError>

namespace {
// SQLite result codes the user should hear about in plain words, ahead of the engine's own.
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kReadOnly = 8;
constexpr int kIoErr = 10;
constexpr int kCorrupt = 11;
constexpr int kFull = 13;
constexpr int kCantOpen = 14;
constexpr int kNotADatabase = 26;

QString LeadFor(int code, const QString &context)
{
    switch (code) {
    case kBusy:
    case kLocked:
        return QStringLiteral("データベースファイルは他のプログラムが使用中です。しばらくしてからやり直してください。");
    case kReadOnly:
        return QStringLiteral("データベースファイルが読み取り専用のため書き込めません。");
    case kIoErr:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。ディスクの障害などが考えられます。");
    case kCorrupt:
        return QStringLiteral("データベースファイルが壊れています。");
    case kFull:
        return QStringLiteral("ディスクがいっぱいのため、データベースファイルに書き込めません。");
    case kCantOpen:
        return QStringLiteral("データベースファイルを開けません。");
    case kNotADatabase:
        return QStringLiteral("このファイルはデータベースファイルではないか、形式が正しくありません。");
    default:
        return context;
    }
}
} // namespace

CDaoException::CDaoException(const QString &message, const QString &driverText)
    : m_strMessage(message), m_strDriver(driverText), m_utf8(GetErrorMessage().toUtf8())
{
}

CDaoException CDaoException::FromSql(const QSqlError &error, const QString &context)
{
    // The extended code's low byte is the primary SQLite result code.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    // What happened comes first (read-only, disk full, damaged), then what could not be done.
    QString lead = LeadFor(code, context);
    if (lead != context && !context.isEmpty())
        lead += QLatin1Char('\n') + context;
    return CDaoException(lead, error.text());
}

QString CDaoException::GetErrorMessage() const
{
    if (m_strDriver.trimmed().isEmpty())
        return m_strMessage;
    return m_strMessage + QStringLiteral("\n\n") + m_strDriver;
}
