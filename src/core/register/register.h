#pragma once

#include "register/registerchange.h"

#include <QObject>

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

    // Told only after the change is kept: a write that rolled back tells nothing.
    void Notify(const SRegisterChange &change);

signals:
    void Changed(const SRegisterChange &change);

private:
    CRegister() = default;
};
