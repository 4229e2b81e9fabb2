#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class CDaoDatabase;
class CDaoStatement;

// Reads employees' photos on a connection of its own, for a thread other than
// the windows': it is made, used and destroyed on that one thread.
class CPhotoReader final
{
public:
    // Opens the register at databasePath; throws when it cannot.
    explicit CPhotoReader(const QString &databasePath);
    ~CPhotoReader();
    CPhotoReader(const CPhotoReader &) = delete;
    CPhotoReader &operator=(const CPhotoReader &) = delete;

    QString DatabasePath() const { return m_strPath; }
    // The picture block of the employee; empty when there is none or they are gone.
    QByteArray Photo(qint32 employeeId);

private:
    QString m_strPath;
    std::unique_ptr<CDaoDatabase> m_pDatabase;
    std::unique_ptr<CDaoStatement> m_pSelect;
};
