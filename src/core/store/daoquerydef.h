#pragma once

#include <QString>

class CDaoDatabase;

// A temporary query: one statement run on a database's connection.
class CDaoQueryDef final
{
public:
    explicit CDaoQueryDef(CDaoDatabase *pDatabase);

    // Only temporary queries exist: the name must be empty.
    void Create(const QString &name, const QString &sql);
    // Runs in a transaction: every row changes, or none does.
    void Execute(int options);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    QString GetSQL() const { return m_strSQL; }
    CDaoDatabase *GetDatabase() const { return m_pDatabase; }
    int GetRecordsAffected() const { return m_nAffected; }

private:
    CDaoDatabase *m_pDatabase;
    QString m_strSQL;
    bool m_bOpen = false;
    int m_nAffected = 0;
};
