#pragma once

#include "views/faceloader.h"

#include <QCache>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QSet>

class QThread;
struct SRegisterChange;

// The employees' faces as list icons. A face asked for and not yet at hand is
// read and made small on another thread, and the usual icon stands in until it
// arrives; a bounded number is kept, and a face goes when its photo changes.
class CFaceCache final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFaceCache)

public:
    static constexpr int kDefaultCapacity = 2000;
    static constexpr int kSide = 32;

    explicit CFaceCache(QObject *parent = nullptr, int capacity = kDefaultCapacity);
    ~CFaceCache() override;

    // The face of the employee, or standIn (asking for the face) until it is here;
    // standIn also for an employee without a photo.
    QIcon Face(qint32 employeeId, const QIcon &standIn);
    bool Has(qint32 employeeId) const { return m_faces.contains(employeeId); }
    bool IsAskedFor(qint32 employeeId) const { return m_asked.contains(employeeId); }
    // Whether faces asked for are still on their way.
    bool IsLoading() const { return !m_asked.isEmpty(); }
    int Count() const { return int(m_faces.size()); }
    // Forgets the faces of these employees, or every face when ids is empty.
    void Drop(const QList<qint32> &ids);

signals:
    // Faces of these employees arrived or went, of everybody when ids is empty:
    // their icons are to be asked for again.
    void FacesChanged(const QList<qint32> &ids);

private:
    void SendPending();
    void OnLoaded(const QList<CFaceLoader::SFace> &faces, quint64 generation);
    void OnRegisterChanged(const SRegisterChange &change);

    QCache<qint32, QIcon> m_faces; // a null icon: no photo
    QSet<qint32> m_asked;          // sent to the loader or waiting to be
    QList<qint32> m_pending;       // not sent yet, latest last
    quint64 m_nGeneration = 0;     // a load older than the last drop is not kept
    QThread *m_pThread;
    CFaceLoader *m_pLoader;
};
