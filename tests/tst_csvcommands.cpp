// The CSV commands of the ﾌｧｲﾙ menu: their place in both menus, and the dialogs
// that ask before anything is written.
#include "base/commandids.h"
#include "shell/csvchoicedlg.h"
#include "csv/csvcolumns.h"
#include "shell/csvcommands.h"
#include "shell/csvpreviewdlg.h"
#include "shell/mainactions.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {
int Employees()
{
    CMast01 set;
    set.Open();
    return set.GetRecordCount();
}
} // namespace

class TestCsvCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void bothFileMenus_data();
    void bothFileMenus();
    void importAsks_data();
    void importAsks();
    void exportInShiftJis();
    void previewOffersMissingUnits_data();
    void previewOffersMissingUnits();
    void previewMapsColumns();
    void previewNamesCompany_data();
    void previewNamesCompany();
    void previewPutsZerosBack_data();
    void previewPutsZerosBack();

private:
    std::unique_ptr<CTempDatabase> m_db;
    QTemporaryDir m_settings;
};

void TestCsvCommands::init()
{
    IsolateSettings(m_settings.path());
    m_db = std::make_unique<CTempDatabase>();
}

void TestCsvCommands::cleanup()
{
    m_db.reset();
}

void TestCsvCommands::bothFileMenus_data()
{
    QTest::addColumn<int>("menuId");
    QTest::newRow("main") << int(IDR_MAINFRAME);
    QTest::newRow("company") << int(IDR_MORVEKTYPE);
}

// Just above the exit, between separators.
void TestCsvCommands::bothFileMenus()
{
    QFETCH(int, menuId);
    QWidget owner;
    CMainActions actions(&owner);
    const QList<QMenu *> menus = actions.BuildMenus(menuId, &owner);
    QStringList texts;
    for (QAction *action : menus.constFirst()->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    // The photos come in through the company window only.
    const QStringList csv = menuId == IDR_MORVEKTYPE ? QStringList{"-",
                                                                   "CSV書き出し...",
                                                                   "CSV読み込み...",
                                                                   "Excel書き出し...",
                                                                   "Excel読み込み...",
                                                                   "写真の一括取り込み...",
                                                                   "郵便番号データの読み込み..."}
                                                     : QStringList{"-",
                                                                   "CSV書き出し...",
                                                                   "CSV読み込み...",
                                                                   "Excel書き出し...",
                                                                   "Excel読み込み...",
                                                                   "郵便番号データの読み込み..."};
    const QStringList rest = {"-", "ﾊﾞｯｸｱｯﾌﾟ作成",       "ﾊﾞｯｸｱｯﾌﾟから復元...", "サーバーのデータベースを開く...",
                              "-", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"};
    QCOMPARE(texts.mid(texts.size() - csv.size() - rest.size()), csv + rest);
}

void TestCsvCommands::importAsks_data()
{
    QTest::addColumn<bool>("chooseFolder");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("lost"); // the server lost: 1 before the import, 2 while its summary is read
    QTest::newRow("folder cancelled") << false << true << 0 << 0;
    QTest::newRow("summary declined") << true << false << 0 << 0;
    QTest::newRow("summary accepted") << true << true << 2 << 0;
    QTest::newRow("server lost before") << true << true << 0 << 1;
    QTest::newRow("server lost while asking") << true << true << 0 << 2;
}

void TestCsvCommands::importAsks()
{
    QFETCH(bool, chooseFolder);
    QFETCH(bool, confirm);
    QFETCH(int, written);
    QFETCH(int, lost);
    const auto reconnected = qScopeGuard([] { CRegister::Instance().SetConnected(true); });
    CRegister::Instance().SetConnected(lost != 1);
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員コード,氏名,生年月日\r\n1,山田,2024-04-01\r\n2,田中,\r\n3,鈴木,2023-02-29\r\n");
    QString summary;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return chooseFolder ? int(QDialog::Accepted) : int(QDialog::Rejected);
        }
        if (qobject_cast<CCsvChoiceDlg *>(&dialog))
            return int(QDialog::Accepted);
        if (auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog)) {
            summary = preview->SummaryView()->toPlainText();
            if (lost == 2)
                CRegister::Instance().SetConnected(false);
            return int(confirm ? QDialog::Accepted : QDialog::Rejected);
        }
        return int(QMessageBox::Ok);
    });
    QCOMPARE(CCsvCommands::OnImportCsv(nullptr), written > 0);
    QCOMPARE(Employees(), written);
    if (lost) {
        // Told as every refused write is, not in the driver's words.
        QCOMPARE(answers.Texts().last(), CRegister::LostText() + QStringLiteral("\n何も読み込んでいません。"));
        QCOMPARE(summary.isEmpty(), lost == 1);
        return;
    }
    if (chooseFolder) {
        QVERIFY(summary.contains(QStringLiteral("社員: 追加 2 人")));
        QVERIFY(summary.contains(QStringLiteral("社員.csv 4 行目「生年月日」")));
    }
    // What was written is told, as after an Excel export or a photo import.
    QCOMPARE(answers.Texts().constLast() == QStringLiteral("社員 2 人を追加し、0 人を更新しました。"), written > 0);
}

void TestCsvCommands::exportInShiftJis()
{
    QTemporaryDir folder;
    CRegisterBuilder::AddEmployee({1, 0, QStringLiteral("山田")});
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog))
            files->setDirectory(folder.path());
        if (auto *choice = qobject_cast<CCsvChoiceDlg *>(&dialog))
            choice->Choice(1)->setChecked(true);
        return int(QDialog::Accepted);
    });
    CCsvCommands::OnExportCsv(nullptr);
    QVERIFY(answers.Texts().constLast().contains(QStringLiteral("部課 0 件、社員 1 人を書き出しました。")));
    QFile file(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\x8E\xD0\x88\xF5\x83\x52\x81\x5B\x83\x68")); // 社員コード
    QVERIFY(bytes.contains("\r\n1,\x8E\x52\x93\x63,"));
    // Written again over those files, Enter keeps them.
    const QString kept = WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()), "kept");
    int enterPresses = QMessageBox::NoButton;
    CDialogAnswers again([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog))
            files->setDirectory(folder.path());
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            enterPresses = box->standardButton(box->defaultButton());
            return int(enterPresses);
        }
        return int(QDialog::Accepted);
    });
    CCsvCommands::OnExportCsv(nullptr);
    QCOMPARE(enterPresses, int(QMessageBox::No));
    QCOMPARE(ReadFile(kept), QByteArray("kept"));
    QCOMPARE(again.Texts().size(), 3); // the folder, the code, the question
}

void TestCsvCommands::previewOffersMissingUnits_data()
{
    QTest::addColumn<bool>("tick");
    QTest::newRow("left as refused") << false;
    QTest::newRow("units made") << true;
}

// A row refused for a missing unit offers a check box; ticking it plans again and the summary follows.
void TestCsvCommands::previewOffersMissingUnits()
{
    QFETCH(bool, tick);
    CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員コード,氏名,所属\r\n1,山田,本社/新部\r\n2,田中,本社\r\n");
    QStringList summaries;
    QString offered;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        summaries << preview->SummaryView()->toPlainText();
        if (preview->CreateBox()->isHidden())
            return int(QDialog::Rejected);
        offered = preview->CreateBox()->text();
        preview->CreateBox()->setChecked(tick);
        summaries << preview->SummaryView()->toPlainText();
        return int(QDialog::Accepted);
    });
    QCOMPARE(CCsvCommands::OnImportCsv(nullptr), true);
    QCOMPARE(offered, QStringLiteral("ない部課を作る"));
    QCOMPARE(summaries.size(), 2);
    QVERIFY2(summaries.at(0).contains(QStringLiteral("「新部」がありません")), qPrintable(summaries.at(0)));
    QVERIFY2(summaries.at(1).contains(tick ? QStringLiteral("部課: 追加 1 件") : QStringLiteral("「新部」がありません")),
             qPrintable(summaries.at(1)));
    QCOMPARE(Employees(), tick ? 2 : 1);
}

// The preview's column choices plan again, and are offered again for a file with the same headers.
void TestCsvCommands::previewMapsColumns()
{
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員番号,名前,性別,郵便番号,年齢\r\n1,山田,,600001,30\r\n2,田中,女性,0600001,41\r\n");
    QStringList summaries;
    QStringList shown;
    int round = 0;
    bool grabbed = false;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        for (int line = 0; line < 5; ++line)
            shown << preview->Choice(line)->currentText();
        summaries << preview->SummaryView()->toPlainText();
        if (round++ == 0) {
            preview->Choice(4)->setCurrentText(QStringLiteral("備考"));
            summaries << preview->SummaryView()->toPlainText();
            preview->show();
            grabbed = preview->grab().save(QDir::temp().filePath(QStringLiteral("morvek-csv-preview.png")));
        }
        return int(QDialog::Accepted);
    });
    QVERIFY(CCsvCommands::OnImportCsv(nullptr));
    QVERIFY(grabbed);
    QCOMPARE(shown.mid(0, 5), (QStringList{"社員コード", "氏名", "性別", "〒", "取り込まない"}));
    QVERIFY2(summaries.at(0).contains(QStringLiteral("取り込まない列: 社員.csv「年齢」")), qPrintable(summaries.at(0)));
    QVERIFY(summaries.at(0).contains(QStringLiteral("社員.csv 2 行目「性別」: 性別が空のため「男」として読み込みます。")));
    QVERIFY(summaries.at(0).contains(
        QStringLiteral("社員.csv 2 行目「〒」: 先頭の 0 を補いました（「600001」→「0600001」）。")));
    QVERIFY2(!summaries.at(1).contains(QStringLiteral("取り込まない列")), qPrintable(summaries.at(1)));
    {
        CMast01 set;
        set.Open();
        QVERIFY(set.FindFirst(QStringLiteral("Code = 2")));
        QCOMPARE(set.m_Mem, QStringLiteral("41"));
        QCOMPARE(set.m_Yuu, QStringLiteral("0600001"));
    }
    // The same headers again: the choice made is the one shown; nothing is left to write.
    QVERIFY(!CCsvCommands::OnImportCsv(nullptr));
    QCOMPARE(shown.mid(5), (QStringList{"社員コード", "氏名", "性別", "〒", "備考"}));
}

void TestCsvCommands::previewNamesCompany_data()
{
    QTest::addColumn<bool>("known"); // the register has the company and one of the departments
    QTest::newRow("a new company, typed") << false;
    QTest::newRow("the register's company, chosen") << true;
}

// A staff list of department names alone: the preview says what to do, takes the company
// typed or chosen (Enter plans again and does not import yet), and makes what is missing.
void TestCsvCommands::previewNamesCompany()
{
    QFETCH(bool, known);
    if (known)
        CRegisterBuilder::AddUnit({CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")}), 5, QStringLiteral("営業部")});
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員番号,氏名,性別,部署\r\n101,山田,男,営業部\r\n102,佐藤,女,総務部\r\n103,鈴木,男,営業部\r\n");
    QStringList summaries;
    QStringList offered;
    bool enterAccepted = true;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        preview->show();
        summaries << preview->SummaryView()->toPlainText();
        if (preview->CompanyBox()->isHidden() || preview->CreateBox()->isHidden())
            return int(QDialog::Rejected);
        for (int i = 0; i < preview->CompanyBox()->count(); ++i)
            offered << preview->CompanyBox()->itemText(i);
        QLineEdit *typed = preview->CompanyBox()->lineEdit();
        if (known) {
            QTest::keyClick(preview->CompanyBox(), Qt::Key_Down);
        } else {
            typed->setFocus();
            for (const QChar c : QStringLiteral("本社"))
                QTest::sendKeyEvent(QTest::Click, typed, Qt::Key_unknown, QString(c), {});
            QTest::keyClick(typed, Qt::Key_Return);
        }
        enterAccepted = preview->result() == QDialog::Accepted || preview->isHidden();
        summaries << preview->SummaryView()->toPlainText();
        preview->CreateBox()->setChecked(true);
        summaries << preview->SummaryView()->toPlainText();
        return int(QDialog::Accepted);
    });
    QVERIFY(CCsvCommands::OnImportCsv(nullptr));
    QCOMPARE(summaries.size(), 3);
    QVERIFY2(summaries.at(0).contains(QStringLiteral("新しい部課を置く会社を指定すると")), qPrintable(summaries.at(0)));
    QCOMPARE(offered, known ? QStringList{QStringLiteral("本社")} : QStringList{});
    QVERIFY(!enterAccepted);
    QVERIFY2(summaries.at(1).contains(known ? QStringLiteral("会社「本社」に部課「総務部」がありません")
                                            : QStringLiteral("会社「本社」がありません")),
             qPrintable(summaries.at(1)));
    QVERIFY2(summaries.at(2).contains(known ? QStringLiteral("部課: 追加 1 件") : QStringLiteral("部課: 追加 3 件")),
             qPrintable(summaries.at(2)));
    QCOMPARE(summaries.at(2).contains(QStringLiteral("会社「本社」を新しく作ります")), !known);
    QCOMPARE(Employees(), 3);
    // Told once written, as the other imports are.
    const QString done = answers.Texts().constLast();
    QVERIFY2(done.contains(QStringLiteral("社員 3 人を追加し、0 人を更新しました。")), qPrintable(done));
    QCOMPARE(done.contains(QStringLiteral("会社「本社」を新しく作りました。")), !known);
    CMast00 units;
    units.Open();
    QCOMPARE(units.GetRecordCount(), 3);
}

void TestCsvCommands::previewPutsZerosBack_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("put back, as offered") << false;
    QTest::newRow("kept as they are") << true;
}

// The preview offers the lost zeros back, ticked, and each one is listed with its row.
void TestCsvCommands::previewPutsZerosBack()
{
    QFETCH(bool, keep);
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員コード,氏名,性別,〒,TEL\r\n1,山田,男,600001,312345678\r\n");
    QString offered;
    bool ticked = false;
    QString summary;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        offered = preview->ZerosBox()->text();
        ticked = preview->ZerosBox()->isChecked();
        if (keep)
            preview->ZerosBox()->setChecked(false);
        summary = preview->SummaryView()->toPlainText();
        return int(QDialog::Accepted);
    });
    QVERIFY(CCsvCommands::OnImportCsv(nullptr));
    QVERIFY2(offered.startsWith(QStringLiteral("先頭の 0 を補う")), qPrintable(offered));
    QVERIFY(ticked);
    QCOMPARE(summary.contains(QStringLiteral("社員.csv 2 行目「〒」: 先頭の 0 を補いました（「600001」→「0600001」）。")),
             !keep);
    QCOMPARE(summary.contains(QStringLiteral("社員.csv 2 行目「TEL」: 先頭の 0 を補いました")), !keep);
    QCOMPARE(summary.contains(QStringLiteral("「600001」は 7 桁に足りません")), keep);
    CMast01 set;
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("Code = 1")));
    QCOMPARE(set.m_Yuu, keep ? QStringLiteral("600001") : QStringLiteral("0600001"));
    QCOMPARE(set.m_TEL, keep ? QStringLiteral("312345678") : QStringLiteral("0312345678"));
    QCOMPARE(answers.Texts().constLast().contains(QStringLiteral("先頭の 0 を補った値: 2 件")), !keep);
}

QTEST_MAIN(TestCsvCommands)
#include "tst_csvcommands.moc"
