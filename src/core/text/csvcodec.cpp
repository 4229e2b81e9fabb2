#include "text/csvcodec.h"

#include <QStringDecoder>
#include <algorithm>
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
    // Japanese text grows by half from CP932 to UTF-8; more only for half-width kana.
    out.resize(in.size() + in.size() / 2 + 16);
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
            out.resize(out.size() + out.size() / 2 + 16);
            continue;
        }
        ok = false;
        badOffset = src - in.constData();
        break;
    }
    iconv_close(cd);
    out.truncate(qsizetype(written));
    out.squeeze();
    return ok;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF, nothing cut off.
bool IsUtf8(QByteArrayView text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        unsigned min = 0, code = 0;
        if ((c & 0xE0) == 0xC0)
            extra = 1, min = 0x80, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            extra = 2, min = 0x800, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            extra = 3, min = 0x10000, code = c & 0x07;
        else
            return false;
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

// Text of two bytes a character without its mark: the zero bytes of its ASCII (digits,
// commas, line ends) all fall on odd places, or all on even ones.
bool LooksLikeUtf16(QByteArrayView bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < n; ++i)
        zeros[i % 2] += bytes[i] == '\0';
    return (zeros[0] == 0) != (zeros[1] == 0);
}

// EUC-JP: kanji and kana as pairs of bytes 0xA1..0xFE, half-width kana after 0x8E.
// CP932 pairs up so too when it holds nothing but half-width kana and rare kanji; a
// byte from 0xE0 in such a file tells EUC-JP.
bool IsEucJp(QByteArrayView text)
{
    bool high = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = uchar(text[i]);
        if (c < 0x80)
            continue;
        if (i + 1 >= text.size())
            return false;
        const auto next = uchar(text[++i]);
        if (c == 0x8E ? (next < 0xA1 || next > 0xDF) : (c < 0xA1 || c > 0xFE || next < 0xA1 || next > 0xFE))
            return false;
        high = high || c >= 0xE0 || next >= 0xE0;
    }
    return high;
}

const char kUtf16Le[] = "\xFF\xFE";
const char kUtf16Be[] = "\xFE\xFF";
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
    QByteArray converted;
    QByteArrayView text;
    if (!Decode(bytes, converted, text, found, error)) {
        utf8.clear();
        return false;
    }
    utf8 = text.toByteArray();
    return true;
}

bool CCsvCodec::Decode(const QByteArray &bytes, QByteArray &converted, QByteArrayView &utf8, ECsvEncoding &found,
                       QString &error)
{
    converted.clear();
    utf8 = {};
    const QByteArrayView view(bytes);
    if (view.startsWith(QByteArrayView("\xFF\xFE\0\0", 4)) || view.startsWith(QByteArrayView("\0\0\xFE\xFF", 4))) {
        error = QStringLiteral("UTF-32 のファイルは読めません。UTF-8 か Shift_JIS で保存し直してください。");
        return false;
    }
    if ((view.startsWith(kUtf16Le) || view.startsWith(kUtf16Be)) && DecodeUtf16(view, converted, utf8, found))
        return true;
    if (view.contains('\0')) {
        error = LooksLikeUtf16(view)
                  ? QStringLiteral("UTF-16 のファイルですが、先頭に BOM がないため読めません。"
                                   "UTF-8 か Shift_JIS、または BOM 付きの UTF-16 で保存し直してください。")
                  : QStringLiteral("CSV ファイルではありません（バイナリデータを含んでいます）。");
        return false;
    }
    const bool marked = view.startsWith(kBom);
    const QByteArrayView body = marked ? view.sliced(3) : view;
    if (IsUtf8(body)) {
        utf8 = body;
        found = ECsvEncoding::Utf8Bom;
        return true;
    }
    if (marked) {
        error = QStringLiteral("UTF-8 として読めない文字があります。");
        return false;
    }
    // EUC-JP pairs are also CP932 bytes, read as other characters.
    if (IsEucJp(body)) {
        error = QStringLiteral("EUC-JP のファイルは読めません。UTF-8 か Shift_JIS で保存し直してください。");
        return false;
    }
    qsizetype bad = 0;
    if (Iconv("UTF-8", "CP932", bytes, converted, bad)) {
        utf8 = converted;
        found = ECsvEncoding::Cp932;
        return true;
    }
    converted.clear();
    error = QStringLiteral("文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）。");
    return false;
}

bool CCsvCodec::DecodeUtf16(QByteArrayView bytes, QByteArray &converted, QByteArrayView &utf8, ECsvEncoding &found)
{
    const bool little = bytes.startsWith(kUtf16Le);
    QStringDecoder strict(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, QStringConverter::Flag::Stateless);
    const QString text = strict.decode(bytes.sliced(2));
    if (strict.hasError() || bytes.size() % 2 != 0)
        return false;
    converted = text.toUtf8();
    utf8 = converted;
    found = ECsvEncoding::Utf8Bom;
    return true;
}
