// The framework's own dialogs speak Japanese and the Windows faces resolve to IPA fonts.
#include "base/japaneselocale.h"
#include "shell/morvekapp.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QGroupBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <algorithm>
#include <QTemporaryDir>
#include <QTest>

class TestJapanese : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxButtons_data();
    void messageBoxButtons();
    void fileDialogTexts();
    void fileDialogSizesAndDates();
    void printDialogTexts();
    void facesResolve_data();
    void facesResolve();
};

void TestJapanese::messageBoxButtons_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("yes/no") << int(QMessageBox::Yes | QMessageBox::No) << QStringList{"はい", "いいえ"};
    QTest::newRow("ok/cancel") << int(QMessageBox::Ok | QMessageBox::Cancel) << QStringList{"OK", "キャンセル"};
}

void TestJapanese::messageBoxButtons()
{
    QFETCH(int, buttons);
    QFETCH(QStringList, texts);
    QStringList shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        for (auto *button : dialog.findChildren<QAbstractButton *>())
            shown << button->text().remove(u'&').section(u'(', 0, 0);
        return int(QMessageBox::No);
    });
    MorvekMessageBox(QStringLiteral("確認"), QMessageBox::StandardButtons(buttons));
    for (const QString &text : texts)
        QVERIFY2(shown.contains(text), qPrintable(shown.join(u',')));
}

void TestJapanese::fileDialogTexts()
{
    QFileDialog dialog(nullptr, QStringLiteral("データベースの作成"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (auto *label : dialog.findChildren<QLabel *>())
        labels << label->text();
    const QString all = labels.join(u'|');
    QVERIFY2(all.contains(QStringLiteral("ファイル名")), qPrintable(all));
    QVERIFY2(!all.contains(QStringLiteral("File name")), qPrintable(all));
    auto *box = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(box);
    QCOMPARE(box->button(QDialogButtonBox::Cancel)->text().remove(u'&').section(u'(', 0, 0), QStringLiteral("キャンセル"));
}

// The test runs under LC_ALL=C.UTF-8: the system's locale would write "7 Dec" and "bytes".
void TestJapanese::fileDialogSizesAndDates()
{
    QTemporaryDir folder;
    const QString path = WriteFile(folder.filePath(QStringLiteral("社員.csv")), QByteArray(2048, 'x'));
    QFileSystemModel files;
    files.setRootPath(folder.path());
    CLocaleFileModel shown;
    shown.setSourceModel(&files);
    QModelIndex file;
    QTRY_VERIFY((file = files.index(path)).isValid() && files.fileInfo(file).size() == 2048);
    const QModelIndex row = shown.mapFromSource(file);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QCOMPARE(shown.index(row.row(), CLocaleFileModel::sizeColumn, row.parent()).data().toString(),
             QStringLiteral("2.0 KB"));
    QCOMPARE(shown.index(row.row(), CLocaleFileModel::dateColumn, row.parent()).data().toString(),
             japanese.toString(QFileInfo(path).lastModified(), QLocale::ShortFormat));
    QCOMPARE(shown.index(row.row(), CLocaleFileModel::typeColumn, row.parent()).data().toString(),
             QStringLiteral("CSV ファイル"));
}

// The print dialog's texts the framework's translation leaves in English.
void TestJapanese::printDialogTexts()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QPrintDialog dialog(&printer);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, 5);
    QStringList english;
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        QStringList texts{widget->toolTip()};
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        if (auto *group = qobject_cast<QGroupBox *>(widget))
            texts << group->title();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        for (const QString &text : texts) {
            // Names and marks (PDF, "...") are no words to translate.
            static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
            if (word.match(text).hasMatch() && text != QStringLiteral("PDF") && !text.contains(QChar(0x30FC))
                && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
                english << text;
        }
    }
    QVERIFY2(english.isEmpty(), qPrintable(english.join(u'|')));
    QCOMPARE(dialog.findChild<QRadioButton *>(QStringLiteral("pagesRadioButton"))->text(), QStringLiteral("ページ指定"));
}

void TestJapanese::facesResolve_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("family");
    QTest::newRow("fixed") << "ＭＳ ゴシック"
                           << "IPAGothic";
    QTest::newRow("fixed, no blank") << "ＭＳゴシック"
                                     << "IPAGothic";
    QTest::newRow("proportional") << "ＭＳ Ｐゴシック"
                                  << "IPAPGothic";
}

void TestJapanese::facesResolve()
{
    QFETCH(QString, face);
    QFETCH(QString, family);
    QCOMPARE(QFontInfo(QFont(face, 9)).family(), family);
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestJapanese test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_japanese.moc"
