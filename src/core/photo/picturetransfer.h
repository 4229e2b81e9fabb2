#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

// How a face photo enters and leaves the program: the clipboard and dropped
// files. A DIB offered as such is kept byte for byte; any other picture is
// turned into a packed DIB (24 bits, bottom-up).
class CPictureTransfer final
{
public:
    enum class EResult { taken, nothing, tooLarge, unreadable };

    // The clipboard format that carries the raw bytes of a picture block.
    static QString DibMimeType();

    // What Copy offers: the block as a DIB, as a BMP file and as an image.
    static QMimeData *MakeMimeData(const QByteArray &picture);
    // Paste: a DIB when one is offered, else any image. picture is left alone
    // unless the result is taken.
    static EResult FromMimeData(const QMimeData &mime, QByteArray &picture);
    // A dropped picture file (PNG, JPEG, BMP...).
    static EResult FromFile(const QString &path, QByteArray &picture);
    // A drop the photo box can take: a local file or an image.
    static bool CanTake(const QMimeData &mime);
    // The message for a refusal; empty when there is nothing to say.
    static QString Message(EResult result);
};
