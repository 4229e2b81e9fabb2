#include "views/faceloader.h"

#include "photo/facethumbnail.h"
#include "register/photoreader.h"

#include <exception>

CFaceLoader::CFaceLoader() = default;

CFaceLoader::~CFaceLoader() = default;

void CFaceLoader::Load(const QString &databasePath, const QList<qint32> &ids, int side, quint64 generation)
{
    QList<SFace> faces;
    faces.reserve(ids.size());
    try {
        if (!m_pReader || m_pReader->DatabasePath() != databasePath) {
            m_pReader.reset();
            m_pReader = std::make_unique<CPhotoReader>(databasePath);
        }
        for (qint32 id : ids)
            faces.append({id, CFaceThumbnail::Make(m_pReader->Photo(id), side)});
    } catch (const std::exception &) {
        // A register that cannot be read here shows the usual icons: the windows
        // tell of the fault when they read it themselves.
        m_pReader.reset();
        for (qsizetype i = faces.size(); i < ids.size(); ++i)
            faces.append({ids[i], QImage()});
    }
    emit Loaded(faces, generation);
}

void CFaceLoader::Close()
{
    m_pReader.reset();
}
