#pragma once

#include <QString>
#include <QVariantList>

class CDaoDatabase;

// A temporary query: one statement run on a database's connection.
class CDaoQueryDef final
{
public:
    explicit CDaoQueryDef(CDaoDatabase *pDatabase);

    // Only temporary queries exist: the name must be empty.
    void Create(const QString &name, const QString &sql);
    // Runs in a transaction: every row changes, or none does.
    // The value for the statement's "?" at index, bound when it runs.
    void SetParamValue(int index, const QVariant &value);
    void Execute(int options);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    QString GetSQL() const { return m_strSQL; }
    CDaoDatabase *GetDatabase() const { return m_pDatabase; }
    int GetRecordsAffected() const { return m_nAffected; }

private:
    CDaoDatabase *m_pDatabase;
    QString m_strSQL;
    QVariantList m_params;
    bool m_bOpen = false;
    int m_nAffected = 0;
};
