#pragma once

#include "register/registerchange.h"
#include "store/daotransaction.h"

#include <QList>

// One write of the register: what it changes is kept together or not at all, and
// listeners hear of it only once it is kept.
class CRegisterTransaction final
{
public:
    CRegisterTransaction() = default;
    CRegisterTransaction(const CRegisterTransaction &) = delete;
    CRegisterTransaction &operator=(const CRegisterTransaction &) = delete;

    void Note(const SRegisterChange &change) { m_changes << change; }
    void Commit();

private:
    CDaoTransaction m_transaction;
    QList<SRegisterChange> m_changes;
};
