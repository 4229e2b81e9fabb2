#pragma once

#include "store/changechannel.h"

// A file has no one to tell its readers, so the shared connection asks SQLite's
// change counter (PRAGMA data_version, which moves only for other connections'
// commits and reads no page) and, when it moved, the journal of writes that the
// register's transactions add to in the same commit.
class CSqliteChannel final : public CChangeChannel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSqliteChannel)

public:
    // The journal: one row per kept write, the newest few hundred kept.
    static constexpr char kTable[] = "MorvekChanges";
    static constexpr int kKeptRows = 500;
    // Made by the first write that needs it: a register without one reads as before.
    static QString CreateStatement();

    explicit CSqliteChannel(std::shared_ptr<CDaoDatabase> database);
    ~CSqliteChannel() override;

    // Never finds a server lost; a connection closed under it is opened again by the next look.
    bool Poll() override;

private:
    // -1 when the file cannot be asked just now (locked, say).
    qint64 DataVersion() const;
    // The journal's rows after m_nSeen, from other processes; false without a journal.
    bool ReadJournal(QStringList *payloads, bool *gap);

    bool m_bTriggered = false; // other programs' writes leave journal rows too
    qint64 m_nVersion = -1;
    qint64 m_nSeen = 0;
};
