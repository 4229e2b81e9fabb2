#pragma once

#include "register/registerchange.h"

#include <QObject>
#include <memory>

class CDaoDatabase;
class CDaoException;
class CRegisterWatch;

// The one place windows, printing, CSV and backups reach the register through:
// its operations (CUnits, CEmployees, CEmployeeEditor, ...) speak in the program's
// own terms, write in one transaction each, and report here what they changed,
// so that views, history and refresh listen in one place.
class CRegister final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRegister)

public:
    static CRegister &Instance();

    // The connection the windows share, for the register-wide operations that
    // take one (CSV, exchange): their sets then see such a write whole or not at all.
    static std::shared_ptr<CDaoDatabase> Connection();

    // Told only after the change is kept: a write that rolled back tells nothing.
    void Notify(const SRegisterChange &change);

    // From now on, while the event loop runs, other programs' and users' writes
    // arrive on Changed (marked elsewhere), and a lost server is told and reached again.
    void Watch();
    void StopWatching();
    // False while the register's server cannot be reached: writes are refused then.
    bool IsConnected() const { return m_bConnected; }
    void SetConnected(bool connected);
    // What the user reads while it cannot be reached, and what a write is refused with.
    static QString LostText();
    // That refusal, and it thrown while the server cannot be reached.
    static CDaoException LostError();
    static void RefuseWhenLost();
    // A failure as a window tells it: in the lost server's words while it is away.
    static QString Explain(const CDaoException &error);

signals:
    void Changed(const SRegisterChange &change);
    void ConnectionChanged(bool connected);

private:
    CRegister();
    ~CRegister() override;

    std::unique_ptr<CRegisterWatch> m_pWatch;
    bool m_bConnected = true;
};
