#include "csv/csvcodec.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace {
const char kBom[] = "\xEF\xBB\xBF";

// Converts all of in; on a character the target cannot hold, stops and gives
// the offset of that character in in.
bool Iconv(const char *to, const char *from, const QByteArray &in, QByteArray &out, qsizetype &badOffset)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        badOffset = 0;
        return false;
    }
    out.resize(in.size() * 2 + 16);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    size_t written = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char *dst = out.data() + written;
        size_t dstLeft = size_t(out.size()) - written;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        written = size_t(dst - out.data());
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false;
        badOffset = src - in.constData();
        break;
    }
    iconv_close(cd);
    out.truncate(qsizetype(written));
    return ok;
}
} // namespace

QString CCsvCodec::Name(ECsvEncoding encoding)
{
    return encoding == ECsvEncoding::Cp932 ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8");
}

bool CCsvCodec::Encode(const QByteArray &utf8, ECsvEncoding encoding, QByteArray &bytes, QString &error)
{
    if (encoding == ECsvEncoding::Utf8Bom) {
        bytes = QByteArray(kBom) + utf8;
        return true;
    }
    qsizetype bad = 0;
    if (Iconv("CP932", "UTF-8", utf8, bytes, bad))
        return true;
    const QByteArray before = utf8.left(bad);
    const int line = int(before.count('\n')) + 1;
    const QString rest = QString::fromUtf8(utf8.mid(bad, 4));
    const QString character = rest.isEmpty() ? QString()
                                             : QString(rest.at(0).isHighSurrogate() ? rest.left(2) : rest.left(1));
    error = QStringLiteral("%1 行目の文字「%2」は Shift_JIS で書けません。").arg(line).arg(character);
    bytes.clear();
    return false;
}

bool CCsvCodec::DecodeToUtf8(const QByteArray &bytes, QByteArray &utf8, ECsvEncoding &found, QString &error)
{
    if (bytes.contains('\0')) {
        error = QStringLiteral("CSV ファイルではありません（バイナリデータを含んでいます）。");
        return false;
    }
    const bool marked = bytes.startsWith(kBom);
    const QByteArray body = marked ? bytes.mid(3) : bytes;
    QStringDecoder strict(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = strict.decode(body);
    if (!strict.hasError()) {
        utf8 = body;
        found = ECsvEncoding::Utf8Bom;
        return true;
    }
    qsizetype bad = 0;
    if (!marked && Iconv("UTF-8", "CP932", body, utf8, bad)) {
        found = ECsvEncoding::Cp932;
        return true;
    }
    utf8.clear();
    error = marked ? QStringLiteral("UTF-8 として読めない文字があります。")
                   : QStringLiteral("文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）。");
    return false;
}
