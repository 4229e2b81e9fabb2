#include "register/changepayload.h"

#include "store/daobackend.h"
#include "store/daodatabase.h"

#include <QSqlDatabase>
#include <QStringList>
#include <array>
#include <utility>

namespace {
using EKind = SRegisterChange::EKind;

constexpr std::array<std::pair<EKind, const char *>, 8> kKinds = {{
    {EKind::unitAdded, "unitAdded"},
    {EKind::unitChanged, "unitChanged"},
    {EKind::unitDeleted, "unitDeleted"},
    {EKind::employeeAdded, "employeeAdded"},
    {EKind::employeeChanged, "employeeChanged"},
    {EKind::employeeDeleted, "employeeDeleted"},
    {EKind::employeesMoved, "employeesMoved"},
    {EKind::everything, "everything"},
}};

QString KindName(EKind kind)
{
    for (const auto &[known, name] : kKinds) {
        if (known == kind)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("everything");
}

bool KindOf(const QString &name, EKind *kind)
{
    for (const auto &[known, text] : kKinds) {
        if (name == QLatin1String(text)) {
            *kind = known;
            return true;
        }
    }
    return false;
}

bool ReadLine(const QString &line, SRegisterChange *change)
{
    const QStringList parts = line.split(u' ');
    if (parts.size() != 3 || !KindOf(parts[0], &change->kind))
        return false;
    bool ok = false;
    change->unit = parts[1].toInt(&ok);
    if (!ok)
        return false;
    for (const QString &id : parts[2].split(u',', Qt::SkipEmptyParts)) {
        change->ids.append(id.toInt(&ok));
        if (!ok)
            return false;
    }
    change->elsewhere = true;
    return true;
}
} // namespace

QString CChangePayload::Encode(const QList<SRegisterChange> &changes, qsizetype limit)
{
    QStringList lines;
    qsizetype size = 0;
    for (const SRegisterChange &change : changes) {
        QStringList ids;
        ids.reserve(change.ids.size());
        for (qint32 id : change.ids)
            ids.append(QString::number(id));
        lines.append(KindName(change.kind) + u' ' + QString::number(change.unit) + u' ' + ids.join(u','));
        // Digits, letters and separators only: a character is a byte.
        size += lines.last().size() + 1;
        if (size > limit)
            return KindName(EKind::everything) + QStringLiteral(" 0 ");
    }
    return lines.join(u'\n');
}

QList<SRegisterChange> CChangePayload::Decode(const QString &payload)
{
    QList<SRegisterChange> changes;
    for (const QString &line : payload.split(u'\n', Qt::SkipEmptyParts)) {
        SRegisterChange change;
        if (!ReadLine(line, &change))
            return {SRegisterChange{EKind::everything, {}, 0, true}};
        changes.append(change);
    }
    if (changes.isEmpty())
        return {SRegisterChange{EKind::everything, {}, 0, true}};
    return changes;
}

void CChangePayload::Announce(CDaoDatabase &db, const QList<SRegisterChange> &changes)
{
    if (changes.isEmpty())
        return;
    const CDaoBackend &backend = db.Backend();
    backend.Announce(db.Connection(), Encode(changes, backend.AnnouncementLimit()));
}
