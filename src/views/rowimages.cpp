#include "rowimages.h"

#include <QPixmap>
#include <array>

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
