#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class CPhotoReader;

// Works on a thread of its own: reads the photos asked for and makes them into
// thumbnails, so that the windows never wait for a photo.
class CFaceLoader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFaceLoader)

public:
    struct SFace {
        qint32 nId = 0;
        QImage image; // null: no photo that can be drawn
    };

    CFaceLoader();
    ~CFaceLoader() override;

    // The thumbnails of ids, from the register at databasePath; generation comes back as given.
    void Load(const QString &databasePath, const QList<qint32> &ids, int side, quint64 generation);
    // Closes the connection; called on the loader's thread before it ends.
    void Close();

signals:
    void Loaded(const QList<CFaceLoader::SFace> &faces, quint64 generation);

private:
    std::unique_ptr<CPhotoReader> m_pReader;
};
