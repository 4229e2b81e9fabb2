// libFuzzer target: the folding of names for searching, over any text.
#include "fuzzrequire.h"
#include "store/namefold.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype third = text.size() / 3;
    const QString folded = CNameFold::Fold(text);
    Require(!folded.contains(u' ') && !folded.contains(QChar(0x3000)));
    const QString digits = CNameFold::Digits(text);
    for (const QChar c : digits)
        Require(c >= u'0' && c <= u'9');
    const QString words = CNameFold::Words(QStringView(text).left(third), QStringView(text).mid(third, third),
                                           QStringView(text).mid(2 * third));
    Require(words.size() <= 8 * text.size() + 8);
    for (const QChar c : CNameFold::NumberQuery(folded))
        Require(c >= u'0' && c <= u'9');
    return 0;
}
