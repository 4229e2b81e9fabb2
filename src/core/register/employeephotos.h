#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

// Face photos written for many employees at once, as a folder of picture files
// brings them.
class CEmployeePhotos final
{
public:
    struct SPhoto {
        qint32 id = 0;
        QByteArray picture;
    };

    CEmployeePhotos() = delete;

    // Each code's employee, the first added where a code is taken twice.
    static QHash<qint32, qint32> IdsByCode();
    // One register transaction: all photos are kept or, when a write throws, none.
    // Returns the employees that were still there.
    static QList<qint32> Store(const QList<SPhoto> &photos);
};
