#include "daodatabasepool.h"

#include "daodatabase.h"
#include "daoexception.h"
#include "schema.h"
#include "serverdatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
struct SEntry {
    std::weak_ptr<CDaoDatabase> db;
    QString identity;
};

QHash<QString, SEntry> &Entries()
{
    static QHash<QString, SEntry> entries;
    return entries;
}

// Resolving links costs a system call per folder, and every set that opens asks;
// the identity below still tells when the file behind a name has changed.
QString KeyOf(const QString &path)
{
    if (CServerDatabase::IsUri(path))
        return path;
    static QHash<QString, QString> known;
    if (const auto it = known.constFind(path); it != known.cend())
        return *it;
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return info.absoluteFilePath();   // not there yet: ask again next time
    if (known.size() >= 64)
        known.clear();
    return *known.insert(path, canonical);
}

// What tells this file from one made later under the same name, and whether
// it is marked read-only (a connection opened before the mark would still write).
QString IdentityOf(const QString &path)
{
    if (CServerDatabase::IsUri(path))
        return QStringLiteral("server");
#ifdef Q_OS_UNIX
    // One stat and one access: this runs for every set that opens.
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return {};
    const bool writable = (st.st_mode & S_IWUSR) && ::access(name.constData(), W_OK) == 0;
    return QString::number(qulonglong(st.st_dev)) + u':' + QString::number(qulonglong(st.st_ino))
        + (writable ? QStringLiteral(":rw") : QStringLiteral(":ro"));
#else
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QString access = info.isWritable() && info.permission(QFile::WriteOwner) ? QStringLiteral("rw")
                                                                                   : QStringLiteral("ro");
    return QStringLiteral("%1:%2").arg(info.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch()).arg(access);
#endif
}
} // namespace

std::shared_ptr<CDaoDatabase> CDaoDatabasePool::Acquire(const QString &path)
{
    const QString key = KeyOf(path);
    const QString identity = IdentityOf(path);
    auto &entries = Entries();
    entries.removeIf([](const auto &entry) { return entry.value().db.expired(); });
    if (auto it = entries.find(key); it != entries.end()) {
        if (auto db = it->db.lock(); db && db->IsOpen() && !identity.isEmpty() && it->identity == identity)
            return db;
    }
    auto db = std::make_shared<CDaoDatabase>();
    db->Open(path);
    try {
        CSchema::EnsureIndexes(*db);
    } catch (const CDaoException &) {
        // Without its indexes the file still reads and writes, only slower;
        // the next connection tries again.
    }
    entries.insert(key, {db, IdentityOf(path)});
    return db;
}

bool CDaoDatabasePool::IsCurrent(const CDaoDatabase &db, const QString &path)
{
    if (!db.IsOpen())
        return false;
    const auto it = Entries().constFind(KeyOf(path));
    return it != Entries().cend() && it->db.lock().get() == &db && it->identity == IdentityOf(path);
}

void CDaoDatabasePool::Release(const QString &path)
{
    const auto it = Entries().find(KeyOf(path));
    if (it == Entries().end())
        return;
    if (auto db = it->db.lock())
        db->Close();
    Entries().erase(it);
}

int CDaoDatabasePool::OpenCount()
{
    int count = 0;
    for (const SEntry &entry : std::as_const(Entries())) {
        if (auto db = entry.db.lock(); db && db->IsOpen())
            ++count;
    }
    return count;
}
