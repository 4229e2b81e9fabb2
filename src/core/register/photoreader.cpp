#include "register/photoreader.h"

#include "store/daodatabase.h"
#include "store/daostatement.h"

CPhotoReader::CPhotoReader(const QString &databasePath)
    : m_strPath(databasePath)
    , m_pDatabase(std::make_unique<CDaoDatabase>())
{
    m_pDatabase->Open(databasePath);
    m_pSelect = std::make_unique<CDaoStatement>(*m_pDatabase, QStringLiteral("SELECT Pic FROM Mast01 WHERE ID = ?"));
}

CPhotoReader::~CPhotoReader()
{
    // The statement goes before its connection.
    m_pSelect.reset();
    m_pDatabase->Close();
}

QByteArray CPhotoReader::Photo(qint32 employeeId)
{
    m_pSelect->Bind(0, employeeId);
    m_pSelect->Exec();
    QByteArray bytes;
    if (m_pSelect->Next())
        bytes = m_pSelect->Value(0).toByteArray();
    // No read lock may outlast the look: the windows may write next.
    m_pSelect->Finish();
    return bytes;
}
