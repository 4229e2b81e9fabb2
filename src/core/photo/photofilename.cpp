#include "photo/photofilename.h"

#include <QFileInfo>
#include <QStringList>

namespace {
constexpr qint64 kMaxCode = 999'999'999;
} // namespace

bool CPhotoFileName::IsPicture(const QString &fileName)
{
    static const QStringList extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                           QStringLiteral("bmp")};
    return extensions.contains(QFileInfo(fileName).suffix().toLower());
}

qint32 CPhotoFileName::Code(const QString &fileName)
{
    if (!IsPicture(fileName))
        return 0;
    const QString base = QFileInfo(fileName).completeBaseName();
    if (base.isEmpty() || base.size() > 18)
        return 0;
    for (const QChar c : base)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    const qint64 code = base.toLongLong();
    return code >= 1 && code <= kMaxCode ? qint32(code) : 0;
}
