#include "register/employeephotos.h"

#include "register/registerexchange.h"
#include "register/registertransaction.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daorecordset.h"
#include "store/daostatement.h"

QHash<qint32, qint32> CEmployeePhotos::IdsByCode()
{
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(CDaoRecordset::ApplicationDatabasePath());
    return CRegisterExchange(*db).EmployeeIdsByCode();
}

QList<qint32> CEmployeePhotos::Store(const QList<SPhoto> &photos)
{
    CRegisterTransaction transaction;
    QList<qint32> stored;
    {
        CDaoStatement update(transaction.Database(), QStringLiteral("UPDATE Mast01 SET Pic = ? WHERE ID = ?"));
        for (const SPhoto &photo : photos) {
            update.Bind(0, photo.picture);
            update.Bind(1, photo.id);
            update.Exec();
            if (update.RowsAffected() > 0)
                stored << photo.id;
        }
    }
    if (!stored.isEmpty())
        transaction.Note({SRegisterChange::EKind::employeeChanged, stored, 0});
    transaction.Commit();
    return stored;
}
