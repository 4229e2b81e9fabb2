#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

enum class ECsvEncoding { Utf8Bom, Cp932 };

// The two encodings a spreadsheet reads and writes: UTF-8 with a byte order mark,
// and Shift_JIS as Windows extends it (CP932).
class CCsvCodec final
{
public:
    // UTF-8 text to file bytes. False with a message naming the line when CP932
    // cannot hold a character.
    static bool Encode(const QByteArray &utf8, ECsvEncoding encoding, QByteArray &bytes, QString &error);
    // File bytes to UTF-8 without the mark, telling which encoding was found: also
    // UTF-16 with its mark, read as UTF-8 would be. Refuses binary bytes and names
    // the encodings it does not read (UTF-16 without a mark, UTF-32, EUC-JP).
    static bool DecodeToUtf8(const QByteArray &bytes, QByteArray &utf8, ECsvEncoding &found, QString &error);
    // The same without copying UTF-8: utf8 views bytes, or converted when the bytes
    // had to be converted; both must outlive it.
    static bool Decode(const QByteArray &bytes, QByteArray &converted, QByteArrayView &utf8, ECsvEncoding &found,
                       QString &error);
    static QString Name(ECsvEncoding encoding);

private:
    // False when the bytes after the mark are no UTF-16: they may still be of another encoding.
    static bool DecodeUtf16(QByteArrayView bytes, QByteArray &converted, QByteArrayView &utf8, ECsvEncoding &found);
};
