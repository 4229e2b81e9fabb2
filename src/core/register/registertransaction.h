#pragma once

#include "register/registerchange.h"
#include "store/daotransaction.h"

#include <QList>
#include <functional>
#include <memory>

class CDaoDatabase;

// One write of the register: what it changes is kept together or not at all, and
// listeners hear of it only once it is kept.
class CRegisterTransaction final
{
public:
    CRegisterTransaction();
    CRegisterTransaction(const CRegisterTransaction &) = delete;
    CRegisterTransaction &operator=(const CRegisterTransaction &) = delete;

    // The connection the write runs on, shared with the record sets opened meanwhile.
    CDaoDatabase &Database() const { return *m_pDatabase; }

    void Note(const SRegisterChange &change) { m_changes << change; }
    void Commit();

    // Called once a write has begun, before it reads or writes anything: tests act
    // there as another user would.
    using BegunHook = std::function<void()>;
    static void SetBegunHook(BegunHook hook);

private:
    // Refused at once while the server is known lost, and in the same words when
    // the connection turns out broken.
    static CDaoTransaction Begin();

    CDaoTransaction m_transaction;
    std::shared_ptr<CDaoDatabase> m_pDatabase;
    QList<SRegisterChange> m_changes;
};
