#pragma once

class CDaoRecordset;

// Opens a record set for one operation unless it is open already, and closes it
// again afterwards (also when the operation fails) only if it opened it.
class CSetOpener final
{
public:
    explicit CSetOpener(CDaoRecordset &set);
    ~CSetOpener();
    CSetOpener(const CSetOpener &) = delete;
    CSetOpener &operator=(const CSetOpener &) = delete;

    bool WasOpen() const { return m_bWasOpen; }

private:
    CDaoRecordset &m_set;
    bool m_bWasOpen;
};
