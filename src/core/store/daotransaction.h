#pragma once

#include <memory>

class CDaoDatabase;

// One transaction on the connection that record sets without a database of their
// own share: what they write while it stands is kept by Commit, and undone when the
// guard goes without one (a write that threw, say).
class CDaoTransaction final
{
public:
    CDaoTransaction();
    ~CDaoTransaction();
    CDaoTransaction(const CDaoTransaction &) = delete;
    CDaoTransaction &operator=(const CDaoTransaction &) = delete;

    void Commit();

private:
    std::shared_ptr<CDaoDatabase> m_pDatabase;
    bool m_bOpen = false;
};
