#pragma once

#include "store/changechannel.h"

#include <QSqlDriver>

// LISTEN on a connection of its own: the shared one may have a query in progress
// (a find the employee form leaves open), behind whose rows libpq would hold a
// notification until the query ends. Own notifications are told by the origin
// that leads each payload, since the writes come from another connection.
class CPostgresChannel final : public CChangeChannel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPostgresChannel)

public:
    // The channel every write of the register notifies on.
    static constexpr char kName[] = "morvek_changes";
    // Every that many polls the listening connection is asked whether it still answers.
    static constexpr int kProbeEvery = 8;

    // Throws CDaoException when the server cannot be reached or refuses to listen.
    explicit CPostgresChannel(std::shared_ptr<CDaoDatabase> database);
    ~CPostgresChannel() override;

    // The driver reads the listening socket as soon as the server writes to it,
    // a closed one included; a plain statement now and then finds a silent break.
    bool Poll() override;

    // What a write sends: its origin, then the payload.
    static QString Notice(const QString &payload);

private:
    void OnNotification(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload);

    std::unique_ptr<CDaoDatabase> m_pListener;
    int m_nPolls = 0;
};
