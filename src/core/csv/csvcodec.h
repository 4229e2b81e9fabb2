#pragma once

#include <QByteArray>
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
    // File bytes to UTF-8 without the mark, telling which encoding was found.
    // Refuses binary bytes and what is neither encoding.
    static bool DecodeToUtf8(const QByteArray &bytes, QByteArray &utf8, ECsvEncoding &found, QString &error);
    static QString Name(ECsvEncoding encoding);
};
