// The read-only employee form: what it shows, how it closes, the captions
// around it, and that nothing it does reaches the file.
#include "photo/dibblock.h"
#include "employee/employeeform.h"
#include "employee/employeeviewdlg.h"
#include "forms/eradateedit.h"
#include "employee/photobox.h"
#include "formtestsupport.h"
#include "forms/dialogunits.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {
// Every employee here reads ﾔﾏﾀﾞ.
qint32 AddEmployee(CRegisterBuilder::SEmployeeRow row)
{
    row.kana = QStringLiteral("ﾔﾏﾀﾞ");
    return CRegisterBuilder::AddEmployee(row);
}

QImage Face()
{
    // A face-sized picture in two colours, so that its place shows in a grab.
    QImage image(90, 110, QImage::Format_RGB32);
    image.fill(0xFF3060A0);
    for (int y = 10; y < 40; ++y)
        for (int x = 20; x < 70; ++x)
            image.setPixel(x, y, 0xFFF0C090);
    return image;
}

// The form shown and initialised, on the employee with the given ID.
struct SOpenForm {
    SOpenForm(qint32 id, const QString &title = QStringLiteral("営業部\n第一課\n"))
    {
        set.Open();
        QVERIFY(set.FindById(id));
        dlg.m_strTitle = title;
        dlg.m_nEmployeeID = id;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    }
    CMast01 set;
    CEmployeeViewDlg dlg;
};
} // namespace

class TestEmployeeView : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<CTempDatabase>(); }
    void cleanup() { m_db.reset(); }

    void shows_data();
    void shows();
    void photoShownAtItsPlace();
    void closes_data();
    void closes();
    void cutAndPasteWriteNothing();
    void f5CorrectsInTheMasterForm();

private:
    std::unique_ptr<CTempDatabase> m_db;
};

void TestEmployeeView::shows_data()
{
    QTest::addColumn<bool>("female");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("shown"); // title, then the eight values
    const QStringList rest = {"03-1234-5678", "03-1234-5679", "123-4567", "東京都千代田区", "<b>一丁目</b>"};
    QTest::newRow("male") << false << 1234 << "営業部\n第一課\n"
                          << QStringList({"営業部\n第一課\n", "1234", "山田 太郎", "男"}) + rest;
    QTest::newRow("female, no unit") << true << -5 << QString()
                                     << QStringList({"社員マスタ確認", "-5", "山田 太郎", "女"}) + rest;
}

void TestEmployeeView::shows()
{
    QFETCH(bool, female);
    QFETCH(qint32, code);
    QFETCH(QString, title);
    QFETCH(QStringList, shown);
    const qint32 id = AddEmployee({.code = code,
                                   .name = QStringLiteral("山田 太郎"),
                                   .female = female,
                                   .yuu = QStringLiteral("123-4567"),
                                   .juu1 = QStringLiteral("東京都千代田区"),
                                   .juu2 = QStringLiteral("<b>一丁目</b>"),
                                   .tel = QStringLiteral("03-1234-5678"),
                                   .fax = QStringLiteral("03-1234-5679")});
    SOpenForm form(id, title);
    CEmployeeViewDlg &dlg = form.dlg;
    using V = CEmployeeViewDlg;
    QStringList texts = {dlg.windowTitle()};
    for (int nId : {V::IDC_CODE, V::IDC_NAME, V::IDC_SEX, V::IDC_TEL, V::IDC_FAX, V::IDC_YUU, V::IDC_JUU1, V::IDC_JUU2})
        texts << dlg.Control(nId)->text();
    QCOMPARE(texts, shown);
    // Stored text is shown as text, never as markup.
    QCOMPARE(dlg.Control(V::IDC_JUU2)->textFormat(), Qt::PlainText);
    QVERIFY(dlg.Control(V::IDC_CODE)->alignment() & Qt::AlignRight);
    QVERIFY(dlg.Control(V::IDC_SEX)->alignment() & Qt::AlignHCenter);
    QCOMPARE(dlg.Control(V::IDC_NAME)->frameShadow(), QFrame::Sunken);
    // Without a photo the box is white inside its black frame.
    const QImage box = dlg.GetPhotoBox()->grab().toImage();
    QCOMPARE(box.pixel(0, 0), 0xFF000000u);
    QCOMPARE(box.pixel(box.width() / 2, box.height() / 2), 0xFFFFFFFFu);
}

void TestEmployeeView::photoShownAtItsPlace()
{
    const QByteArray pic = MakePackedDib(Face());
    SOpenForm form(AddEmployee({.code = 1001,
                                .name = QStringLiteral("佐藤 花子"),
                                .female = true,
                                .yuu = QStringLiteral("530-0001"),
                                .juu1 = QStringLiteral("大阪府大阪市北区梅田1-1"),
                                .juu2 = QStringLiteral("梅田ビル3F"),
                                .tel = QStringLiteral("06-111-2222"),
                                .pic = pic}));
    CPhotoBox *box = form.dlg.GetPhotoBox();
    QCOMPARE(box->GetPicture(), pic);
    const QImage shot = form.dlg.grab().toImage();
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
        shot.save(QDir(dir).filePath(QStringLiteral("employeeview.png")));
    // Over the photo's place in the view form, 70 x 80 dialog units at (7, 7), framed.
    QCOMPARE(box->geometry(), CDialogUnits(form.dlg.font()).ToPixels(7, 7, 70, 80));
    QCOMPARE(shot.pixel(box->geometry().center()), 0xFF3060A0u);
    QCOMPARE(shot.pixel(box->geometry().topLeft()), 0xFF000000u);
}

void TestEmployeeView::closes_data()
{
    QTest::addColumn<int>("key"); // 0: click 閉じる
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("閉じる") << 0;
}

void TestEmployeeView::closes()
{
    QFETCH(int, key);
    CFakeFrame frame;
    auto form = std::make_unique<SOpenForm>(AddEmployee({1, 0, QStringLiteral("山田")}));
    QStringList captions = CFuncKeyDialog::PlainCaptions();
    captions[3] = QStringLiteral("変更履歴");
    captions[4] = QStringLiteral("訂正");
    QCOMPARE(frame.m_captions, captions);
    if (key)
        QTest::keyClick(&form->dlg, Qt::Key(key));
    else
        QTest::mouseClick(form->dlg.findChild<QPushButton *>(), Qt::LeftButton);
    QVERIFY(form->dlg.isHidden());
    QCOMPARE(frame.m_captions, CFakeFrame::CompanySet());
    form.reset();
    QCOMPARE(frame.m_nResetCount, 1);
}

void TestEmployeeView::cutAndPasteWriteNothing()
{
    const QByteArray pic = MakePackedDib(Face());
    const qint32 id = AddEmployee({.code = 5, .name = QStringLiteral("山田"), .pic = pic});
    {
        SOpenForm form(id);
        CPhotoBox *box = form.dlg.GetPhotoBox();
        box->OnEditCut();
        QVERIFY(box->GetPicture().isEmpty());
        QApplication::clipboard()->setImage(QImage(3, 3, QImage::Format_RGB32));
        box->OnEditPaste();
        QCOMPARE(box->GetPicture().size(), PackedDibSize(QSize(3, 3)));
        QTest::keyClick(&form.dlg, Qt::Key_Return);
    }
    SOpenForm again(id);
    QCOMPARE(again.dlg.GetPhotoBox()->GetPicture(), pic);
    QCOMPARE(again.set.m_Name, QStringLiteral("山田"));
}

// F5 opens the master form at the employee shown; what is corrected there shows
// here when it closes.
void TestEmployeeView::f5CorrectsInTheMasterForm()
{
    const qint32 id = AddEmployee({7, 0, QStringLiteral("山田")});
    SOpenForm form(id);
    qint32 opened = 0;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto *master = qobject_cast<CEmployeeForm *>(&dialog);
        if (!master) // 登録しますか？
            return int(QMessageBox::Yes);
        master->show();
        if (!QTest::qWaitForWindowExposed(master))
            return int(QDialog::Rejected);
        opened = master->ShownID();
        master->Field(CEmployeeForm::FieldName)->SetFieldText(QStringLiteral("山田 太郎"));
        master->OnOK();
        master->reject();
        return master->result();
    });
    QTest::keyClick(&form.dlg, Qt::Key_F5);
    QCOMPARE(opened, id);
    QCOMPARE(answers.Texts(), QStringList({QStringLiteral("社員マスタ登録"), QStringLiteral("登録しますか？")}));
    QTRY_COMPARE(form.dlg.Control(CEmployeeViewDlg::IDC_NAME)->text(), QStringLiteral("山田 太郎"));
    QVERIFY(form.dlg.isVisible());
}

QTEST_MAIN(TestEmployeeView)
#include "tst_employeeview.moc"
