#include "postal/postalcode.h"

namespace {
bool IsSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'-':
    case 0x3000: // ideographic space
    case 0x2010: // hyphen
    case 0x2012: // figure dash
    case 0x2013: // en dash
    case 0x2212: // minus
    case 0x30FC: // long vowel mark, an IME's hyphen
    case 0xFF0D: // full-width hyphen-minus
    case 0x3012: // 〒
        return true;
    default:
        return false;
    }
}
} // namespace

QString CPostalCode::Normalize(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            digits += QChar(u'0' + (c.unicode() - 0xFF10));
        else if (!IsSeparator(c))
            return {};
    }
    return digits.size() == 7 ? digits : QString();
}

QString CPostalCode::Shown(const QString &code)
{
    if (code.size() != 7)
        return code;
    return code.left(3) + QLatin1Char('-') + code.mid(3);
}
