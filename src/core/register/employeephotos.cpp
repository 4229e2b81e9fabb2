#include "register/employeephotos.h"

#include "register/historywriter.h"
#include "register/idchunks.h"
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
    QList<qint32> ids;
    for (const SPhoto &photo : photos)
        ids << photo.id;
    QHash<qint32, bool> hadPhoto;
    if (!ids.isEmpty()) {
        CIdChunks::ForEachRow(transaction.Database(),
                              QStringLiteral("SELECT ID, CASE WHEN Pic IS NULL THEN 0 ELSE 1 END FROM Mast01 "
                                             "WHERE ID IN (%1)"),
                              CIdChunks::Unique(ids), [&hadPhoto](const CDaoStatement &q) {
                                  hadPhoto.insert(qint32(q.Int64(0)), q.Int64(1) != 0);
                              });
    }
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
    QHash<qint32, bool> replaced;
    for (qint32 id : stored)
        replaced.insert(id, hadPhoto.value(id));
    CHistoryWriter(transaction.Database()).PhotosChanged(replaced, true);
    if (!stored.isEmpty())
        transaction.Note({SRegisterChange::EKind::employeeChanged, stored, 0});
    transaction.Commit();
    return stored;
}
