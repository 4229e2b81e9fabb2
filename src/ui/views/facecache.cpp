#include "views/facecache.h"

#include "register/register.h"
#include "store/daorecordset.h"

#include <QPixmap>
#include <QThread>
#include <QTimer>

namespace {
// Sent at once: the rows on screen, and a little more. Older requests were for
// rows scrolled past, and are asked for again when they come back.
constexpr int kBatch = 64;
constexpr int kPendingKept = 256;
} // namespace

CFaceCache::CFaceCache(QObject *parent, int capacity)
    : QObject(parent)
    , m_pThread(new QThread(this))
    , m_pLoader(new CFaceLoader)
{
    qRegisterMetaType<QList<CFaceLoader::SFace>>();
    m_faces.setMaxCost(capacity);
    m_pLoader->moveToThread(m_pThread);
    connect(m_pLoader, &CFaceLoader::Loaded, this, &CFaceCache::OnLoaded, Qt::QueuedConnection);
    connect(&CRegister::Instance(), &CRegister::Changed, this, &CFaceCache::OnRegisterChanged);
    m_pThread->start(QThread::LowPriority);
}

CFaceCache::~CFaceCache()
{
    CFaceLoader *loader = m_pLoader;
    QMetaObject::invokeMethod(
        loader, [loader] { loader->Close(); }, Qt::BlockingQueuedConnection);
    m_pThread->quit();
    m_pThread->wait();
    delete m_pLoader;
}

QIcon CFaceCache::Face(qint32 employeeId, const QIcon &standIn)
{
    if (const QIcon *face = m_faces.object(employeeId))
        return face->isNull() ? standIn : *face;
    if (!m_asked.contains(employeeId)) {
        m_asked.insert(employeeId);
        m_pending.append(employeeId);
        // Gathered while the view paints, sent once it is done.
        if (m_pending.size() == 1)
            QTimer::singleShot(0, this, &CFaceCache::SendPending);
    }
    return standIn;
}

void CFaceCache::SendPending()
{
    while (m_pending.size() > kPendingKept)
        m_asked.remove(m_pending.takeFirst());
    const QString path = CDaoRecordset::ApplicationDatabasePath();
    const quint64 generation = m_nGeneration;
    // The latest first: they are the rows on screen now.
    while (!m_pending.isEmpty()) {
        QList<qint32> batch;
        while (!m_pending.isEmpty() && batch.size() < kBatch)
            batch.append(m_pending.takeLast());
        CFaceLoader *loader = m_pLoader;
        QMetaObject::invokeMethod(loader, [=] { loader->Load(path, batch, kSide, generation); });
    }
}

void CFaceCache::OnLoaded(const QList<CFaceLoader::SFace> &faces, quint64 generation)
{
    QList<qint32> ids;
    ids.reserve(faces.size());
    for (const CFaceLoader::SFace &face : faces) {
        m_asked.remove(face.nId);
        ids.append(face.nId);
        if (generation == m_nGeneration)
            m_faces.insert(face.nId, new QIcon(face.image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(face.image))));
    }
    if (!ids.isEmpty())
        emit FacesChanged(ids);
}

void CFaceCache::Drop(const QList<qint32> &ids)
{
    ++m_nGeneration;
    if (ids.isEmpty()) {
        m_faces.clear();
        m_asked.clear();
        m_pending.clear();
    } else {
        for (qint32 id : ids) {
            m_faces.remove(id);
            // Its load under way carries the old photo: asked for again.
            m_asked.remove(id);
            m_pending.removeAll(id);
        }
    }
    emit FacesChanged(ids);
}

void CFaceCache::OnRegisterChanged(const SRegisterChange &change)
{
    switch (change.kind) {
    case SRegisterChange::EKind::employeeChanged:
    case SRegisterChange::EKind::employeeDeleted:
        Drop(change.ids);
        break;
    case SRegisterChange::EKind::everything:
        Drop({});
        break;
    default:
        break;
    }
}
