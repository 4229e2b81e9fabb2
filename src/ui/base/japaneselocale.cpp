#include "base/japaneselocale.h"

#include "base/qttextpatch.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
void SubstituteFaces()
{
    const QString gothic = QStringLiteral("IPAGothic");
    const QString proportional = QStringLiteral("IPAPGothic");
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), gothic);
    QFont::insertSubstitution(QStringLiteral("ＭＳゴシック"), gothic);
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), proportional);
}

void LoadTranslation(QApplication &app, const QString &name)
{
    auto *translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), name, QStringLiteral("_"), folder))
        app.installTranslator(translator);
    else
        delete translator;
}
} // namespace

void CJapaneseLocale::Install(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    LoadTranslation(app, QStringLiteral("qtbase"));
    // Installed last, so asked first.
    app.installTranslator(new CQtTextPatch(&app));
    SubstituteFaces();
    app.setFont(QFont(QString::fromUtf8(DialogFace()), DialogPointSize));
}
