#include "store/pgpassfile.h"

#include "store/serveruri.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

namespace {
QStringList ReadLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Written under another name with mode 0600 from its first byte, then renamed:
// the password is never readable by others, not even for a moment.
bool WritePrivately(const QString &path, const QByteArray &bytes)
{
    const QByteArray part = QFile::encodeName(path + QStringLiteral(".part"));
    ::unlink(part.constData());
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(part.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(part.constData());
        return false;
    }
    return true;
}
} // namespace

QString CPgPassFile::Path()
{
    const QString named = qEnvironmentVariable("PGPASSFILE");
    return named.isEmpty() ? QDir::home().filePath(QStringLiteral(".pgpass")) : named;
}

QString CPgPassFile::Escaped(const QString &field)
{
    QString escaped = field;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char(':'), QLatin1String("\\:"));
    return escaped;
}

bool CPgPassFile::Save(const QString &uri, QString *error)
{
    const QUrl url = CServerUri::Parsed(uri);
    const QString password = CServerUri::Password(uri);
    if (!url.isValid() || password.isEmpty() || url.userName().isEmpty()) {
        *error = QStringLiteral("保存するパスワードとユーザー名がありません。");
        return false;
    }
    const QString host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    const QString key = QStringList{Escaped(host), QString::number(url.port(5432)), Escaped(CServerUri::DatabaseName(uri)),
                                    Escaped(url.userName())}
                            .join(u':')
                      + QLatin1Char(':');
    QStringList lines;
    for (const QString &line : ReadLines(Path())) {
        if (!line.startsWith(key))
            lines << line;
    }
    lines << key + Escaped(password);
    if (!WritePrivately(Path(), (lines.join(u'\n') + QLatin1Char('\n')).toUtf8())) {
        *error = QStringLiteral("パスワードファイル「%1」に書き込めません。").arg(QDir::toNativeSeparators(Path()));
        return false;
    }
    return true;
}
