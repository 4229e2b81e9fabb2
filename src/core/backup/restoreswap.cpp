#include "backup/restoreswap.h"

#include "store/daoexception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace {
const char *const kJournalSuffixes[] = {"-journal", "-wal", "-shm"};

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// The same file under a second name; a copy where the file system has no links.
bool Duplicate(const QString &from, const QString &to)
{
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    return QFile::copy(from, part) && QFile::rename(part, to);
}

QString ReadPlan(const QString &planPath)
{
    QFile plan(planPath);
    if (!plan.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(plan.readAll()).trimmed();
}
} // namespace

QString CRestoreSwap::IncomingPath(const QString &dbPath)
{
    return dbPath + QStringLiteral(".restoring");
}

QString CRestoreSwap::PlanPath(const QString &dbPath)
{
    return dbPath + QStringLiteral(".restoring.plan");
}

void CRestoreSwap::KeepAside(const QString &dbPath, const QString &aside)
{
    // A journal left beside the old file belongs to it and goes aside with it.
    QStringList from{dbPath}, to{aside};
    for (const char *suffix : kJournalSuffixes) {
        from << dbPath + QLatin1String(suffix);
        to << aside + QLatin1String(suffix);
    }
    for (int i = 0; i < from.size(); ++i) {
        if (!QFileInfo::exists(from[i]) || QFileInfo::exists(to[i]))
            continue;
        if (!Duplicate(from[i], to[i]))
            throw CDaoException(QStringLiteral("「%1」を「%2」として残せません。").arg(Shown(from[i]), Shown(to[i])));
    }
}

void CRestoreSwap::Replace(const QString &dbPath)
{
    // rename() puts the new file under the name in one step: the old one or the new one is always there.
    if (::rename(QFile::encodeName(IncomingPath(dbPath)).constData(), QFile::encodeName(dbPath).constData()) != 0)
        throw CDaoException(QStringLiteral("「%1」を置き換えられません。").arg(Shown(dbPath)));
}

bool CRestoreSwap::Run(const QString &dbPath, const QString &aside, const Interrupt &interrupt)
{
    const auto stop = [&interrupt](EStep step) { return interrupt && interrupt(step); };
    const bool hadFile = QFileInfo::exists(dbPath);
    if (hadFile) {
        QSaveFile plan(PlanPath(dbPath));
        if (!plan.open(QIODevice::WriteOnly) || plan.write(QFileInfo(aside).absoluteFilePath().toUtf8()) < 0
            || !plan.commit())
            throw CDaoException(QStringLiteral("「%1」に書き込めません。").arg(Shown(PlanPath(dbPath))));
    }
    if (stop(EStep::planned))
        return false;
    try {
        if (hadFile)
            KeepAside(dbPath, aside);
    } catch (...) {
        QFile::remove(PlanPath(dbPath));
        throw;
    }
    if (stop(EStep::keptAside))
        return false;
    // The old journals are kept aside; beside the restored file they would be played into it.
    for (const char *suffix : kJournalSuffixes)
        QFile::remove(dbPath + QLatin1String(suffix));
    if (stop(EStep::journalsCleared))
        return false;
    try {
        Replace(dbPath);
    } catch (...) {
        QFile::remove(PlanPath(dbPath));
        throw;
    }
    if (stop(EStep::replaced))
        return false;
    QFile::remove(PlanPath(dbPath));
    stop(EStep::done);
    return true;
}

CRestoreSwap::ERecovery CRestoreSwap::Recover(const QString &dbPath)
{
    const QString incoming = IncomingPath(dbPath);
    const QString planPath = PlanPath(dbPath);
    const bool planned = QFileInfo::exists(planPath);
    if (!QFileInfo::exists(incoming)) {
        // Replaced already; only the plan was left.
        QFile::remove(planPath);
        return planned ? ERecovery::finished : ERecovery::none;
    }
    // Without a plan the old file was never touched, unless an older version had
    // already moved it away: then the restored copy is all there is.
    if (!planned && QFileInfo::exists(dbPath)) {
        QFile::remove(incoming);
        return ERecovery::rolledBack;
    }
    if (planned && QFileInfo::exists(dbPath)) {
        const QString aside = ReadPlan(planPath);
        if (aside.isEmpty())
            throw CDaoException(QStringLiteral("「%1」を読めません。").arg(Shown(planPath)));
        KeepAside(dbPath, aside);
        for (const char *suffix : kJournalSuffixes)
            QFile::remove(dbPath + QLatin1String(suffix));
    }
    Replace(dbPath);
    QFile::remove(planPath);
    return ERecovery::finished;
}
