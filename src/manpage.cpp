// Writes the manual pages at build time, from the same table the program parses with.
#include "csv/manualpage.h"

#include <QFile>
#include <QString>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: morvek_manpage en|ja DATE OUTPUT\n", stderr);
        return 2;
    }
    const auto language = QByteArray(argv[1]) == "ja" ? CManualPage::ELanguage::japanese : CManualPage::ELanguage::english;
    QFile out(QString::fromLocal8Bit(argv[3]));
    const QByteArray page = CManualPage::Render(language, QString::fromUtf8(argv[2])).toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(page) != page.size()) {
        std::fprintf(stderr, "morvek_manpage: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
