#include "store/daodatabasepool.h"

#include "store/changelog.h"
#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/foldednames.h"
#include "store/schema.h"
#include "store/writetriggers.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// What tells a file from one made later under the same name, and whether it is
// marked read-only (a connection opened before the mark would still write).
struct SIdentity {
    quint64 nDevice = 0;
    quint64 nInode = 0;
    qint64 nBirth = 0;
    bool bWritable = false;
    bool bValid = false; // the file is there
    bool operator==(const SIdentity &) const = default;
};

struct SEntry {
    std::weak_ptr<CDaoDatabase> db;
    SIdentity identity;
};

QHash<QString, SEntry> &Entries()
{
    static QHash<QString, SEntry> entries;
    return entries;
}

// The connection used last stays open while no set holds it: a command that
// opens a set of its own then pays for the connection once, not each time.
// Closed with the application, while Qt's drivers are still loaded.
std::shared_ptr<CDaoDatabase> &Kept()
{
    static std::shared_ptr<CDaoDatabase> kept;
    static const bool cleanup = [] {
        if (QCoreApplication::instance())
            qAddPostRoutine([] { Kept().reset(); });
        return true;
    }();
    Q_UNUSED(cleanup);
    return kept;
}

// A path as the pool knows it, and as the system takes it.
struct SPath {
    QString key;
    QByteArray native;
};

// Resolving links costs a system call per folder, and every set that opens asks;
// the identity below still tells when the file behind a name has changed.
SPath PathOf(const QString &path)
{
    if (!CDaoBackends::For(path).HasFileIdentity())
        return {path, {}};
    static QHash<QString, SPath> known;
    if (const auto it = known.constFind(path); it != known.cend())
        return *it;
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return {info.absoluteFilePath(), QFile::encodeName(path)}; // not there yet: ask again next time
    if (known.size() >= 64)
        known.clear();
    return *known.insert(path, {canonical, QFile::encodeName(path)});
}

// One stat and one access: this runs for every set that opens.
SIdentity IdentityOf(const QString &path, const SPath &where)
{
    SIdentity identity;
    if (!CDaoBackends::For(path).HasFileIdentity()) {
        identity.bValid = true;
        return identity;
    }
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(where.native.constData(), &st) != 0)
        return identity;
    identity.nDevice = quint64(st.st_dev);
    identity.nInode = quint64(st.st_ino);
    identity.bWritable = (st.st_mode & S_IWUSR) && ::access(where.native.constData(), W_OK) == 0;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return identity;
    identity.nBirth = info.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch();
    identity.bWritable = info.isWritable() && info.permission(QFile::WriteOwner);
#endif
    identity.bValid = true;
    return identity;
}
} // namespace

std::shared_ptr<CDaoDatabase> CDaoDatabasePool::Acquire(const QString &path)
{
    const SPath where = PathOf(path);
    const SIdentity identity = IdentityOf(path, where);
    auto &entries = Entries();
    entries.removeIf([](const auto &entry) { return entry.value().db.expired(); });
    if (auto it = entries.find(where.key); it != entries.end()) {
        if (auto db = it->db.lock(); db && db->IsOpen() && identity.bValid && it->identity == identity) {
            Kept() = db;
            return db;
        }
    }
    auto db = std::make_shared<CDaoDatabase>();
    db->Open(path);
    try {
        CSchema::EnsureIndexes(*db);
    } catch (const CDaoException &) {
        // Without its indexes the file still reads and writes, only slower;
        // the next connection tries again.
    }
    // Without its history table the register refuses writes, which would skip it;
    // the next connection tries again.
    try {
        CChangeLog::Ensure(*db);
    } catch (const CDaoException &) {
    }
    try {
        CFoldedNames::Ensure(*db);
    } catch (const CDaoException &) {
        // A search by name then reads what the table holds; the next connection tries again.
    }
    try {
        CWriteTriggers::Ensure(*db);
    } catch (const CDaoException &) {
        // Other programs' writes are then heard as "everything", without history; the next connection tries again.
    }
    entries.insert(where.key, {db, IdentityOf(path, where)});
    Kept() = db;
    return db;
}

bool CDaoDatabasePool::IsCurrent(const CDaoDatabase &db, const QString &path)
{
    if (!db.IsOpen())
        return false;
    const SPath where = PathOf(path);
    const auto it = Entries().constFind(where.key);
    return it != Entries().cend() && it->db.lock().get() == &db && it->identity == IdentityOf(path, where);
}

void CDaoDatabasePool::Release(const QString &path)
{
    const auto it = Entries().find(PathOf(path).key);
    if (it == Entries().end())
        return;
    if (auto db = it->db.lock()) {
        if (Kept() == db)
            Kept().reset();
        db->Close();
    }
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
