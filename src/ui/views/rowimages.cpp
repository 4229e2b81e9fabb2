#include "views/rowimages.h"

#include <QFontMetrics>
#include <QPixmap>
#include <array>

namespace {
constexpr int kLargeIcon = 32;
// Wide enough for a name of five or six kanji on a line.
constexpr int kIconCellChars = 12;
} // namespace

QIcon CRowImages::Icon(int image)
{
    static const std::array<QIcon, 4> icons = [] {
        std::array<QIcon, 4> made;
        const char *names[] = {"company", "dept", "man", "woman"};
        for (size_t i = 0; i < made.size(); ++i) {
            // Drawn for each size, so the small picture is not a blurred large one.
            for (int size : {16, 32})
                made[i].addPixmap(QPixmap(QStringLiteral(":/views/%1%2.svg").arg(QLatin1String(names[i])).arg(size)));
        }
        return made;
    }();
    return image >= 0 && image < int(icons.size()) ? icons[size_t(image)] : QIcon();
}

QSize CRowImages::IconCell(const QFont &font)
{
    const QFontMetrics metrics(font);
    return {metrics.averageCharWidth() * kIconCellChars + 8, kLargeIcon + 2 * metrics.height() + 10};
}
