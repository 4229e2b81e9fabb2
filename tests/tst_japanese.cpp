// The framework's own dialogs speak Japanese and the Windows faces resolve to IPA fonts.
#include "base/japaneselocale.h"
#include "shell/morvekapp.h"
#include "base/modalseam.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestJapanese : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxButtons_data();
    void messageBoxButtons();
    void fileDialogTexts();
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
