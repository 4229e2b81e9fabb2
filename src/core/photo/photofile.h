#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

class QImage;

// A picture file made into a face photo: checked before it is decoded, scaled
// to fit the photo box keeping its proportions (never enlarged), stored as a
// packed DIB like a pasted photo.
class CPhotoFile final
{
public:
    enum class EResult { taken, tooLarge, tooWide, unreadable };

    // Files and pictures past these are refused without decoding them.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxSide = 8000;
    // The photo box for runs without a window, where no font can be measured to
    // lay the forms out; a little smaller than they usually show it.
    static QSize DefaultBox() { return {105, 130}; }

    CPhotoFile() = delete;

    static EResult Read(const QString &path, QSize box, QByteArray &picture);
    // The size a picture is shown at in the box.
    static QSize Fitted(QSize picture, QSize box);
    static QImage Scaled(const QImage &image, QSize box);
    // The message for a refusal, naming the file; empty for taken.
    static QString Message(EResult result, const QString &fileName);
};
