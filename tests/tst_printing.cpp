// Printing from the company window: the company's employee list from the tree,
// business cards of the selected employees from the list, on paper (a PDF here,
// as on a machine without a printer), directly and in the preview.
#include "base/commandids.h"
#include "document/morvekdoc.h"
#include "photo/dibblock.h"
#include "printlayout/cardprintjob.h"
#include "printlayout/companylistjob.h"
#include "printlayout/listprintchoice.h"
#include "print/cardstockdlg.h"
#include "print/listoptionstab.h"
#include "shellfixture.h"
#include "viewsfixture.h"

#include <QImage>
#include <QCheckBox>
#include <algorithm>
#include <QDoubleSpinBox>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPdfWriter>
#include <QProcess>
#include <QRadioButton>
#include <QSet>
#include <QSettings>

namespace {
// One pixel a table unit.
QImage UnitCanvas()
{
    QImage image(2100, 2970, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

QByteArray SolidPhoto(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return MakePackedDib(image);
}

struct SEmployee {
    qint32 code;
    const char *name;
    QDate birth;
    QDate left;
};

qint32 AddPerson(qint32 busyo, const SEmployee &person, const QByteArray &photo = {})
{
    return CRegisterBuilder::AddEmployee({.code = person.code,
                                          .busyo = busyo,
                                          .name = QString::fromUtf8(person.name),
                                          .kana = QStringLiteral("ｶﾅ"),
                                          .birth = CDateValue(person.birth),
                                          .joined = CDateValue(QDate(1998, 1, 1)),
                                          .left = person.left.isValid() ? CDateValue(person.left) : CDateValue::Zero(),
                                          .tel = QStringLiteral("03-1234-5678"),
                                          .pic = photo});
}

// Each page's text without blanks, in page order.
QStringList PdfPages(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    pdftotext.waitForFinished();
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last page's form feed
    for (QString &page : pages)
        page.remove(QRegularExpression(QStringLiteral("\\s")));
    return pages;
}

// Accepts the print dialog as a user does, with Enter.
int PressEnter(QDialog &dialog)
{
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    return dialog.result();
}

CLeftView *Tree()
{
    return Frame()->GetActiveChild()->GetLeftPane();
}

CMorvekView *List()
{
    return Frame()->GetActiveChild()->GetRightPane();
}
} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void companyListOnPaper();
    void companyListPages();
    void companyListPhotoClippedToItsCell();
    void cardsOnPaper();
    void cardOfAnEmployeeWithoutUnit();
    void pageRangeOfTheDialog();
    void printFile_data();
    void printFile();
    void preview_data();
    void preview();
    void printCommandsFollowWhatCanBePrinted();
    void nothingSelectedInTheListPrintsNothing();
    void companyListInIdOrderAcrossUnits();
    void unitListGroupedByUnit_data();
    void unitListGroupedByUnit();
    void unitListFromTheMenu();
    void listChoiceInThePrintDialog();
    void cardsOnStockWithAnOffset_data();
    void cardsOnStockWithAnOffset();
    void cardStockRemembered();
    void textOverThePhotoStaysReadable();
    void longAddressWrappedNotShrunk();

private:
    void AddGroup();
    void SelectUnit(qint32 unitId);
    void SelectEmployees(const QStringList &names);
    QString PrintFile(const QString &docName) const { return m_dir.filePath(docName + QStringLiteral(".pdf")); }

    QTemporaryDir m_dir;
    qint32 m_company = 0;
    qint32 m_sales = 0;
    qint32 m_other = 0;
    qint32 m_group = 0;   // a company with departments two levels deep
    qint32 m_first = 0;   // its 甲部
    qint32 m_squared = 0; // an employee of it with a square photo
};

void TestPrinting::initTestCase()
{
    // Without a printer the print file goes to the working folder under home.
    qputenv("HOME", m_dir.path().toLocal8Bit());
    StartIn(m_dir);
    CDaoRecordset::SetApplicationDatabasePath(m_dir.filePath(QStringLiteral("odata.mdb")));
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit(
        {.parent = m_company, .code = 10, .name = QStringLiteral("営業部"), .yuu = QStringLiteral("100-0001")});
    m_other = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("別会社")});
    const QByteArray face = SolidPhoto(QSize(40, 50), Qt::red);
    AddPerson(m_company, {1, "社長", QDate(1940, 5, 3), {}}, face);
    AddPerson(m_sales, {2, "青木", QDate(1960, 4, 1), {}}, face);
    AddPerson(m_sales, {3, "井上", QDate(1961, 4, 1), QDate(2001, 3, 31)});
    AddPerson(m_sales, {4, "上田", QDate(1962, 4, 1), {}});
    AddPerson(m_sales, {5, "江藤", QDate(1963, 4, 1), {}});
    AddPerson(m_sales, {6, "岡田", QDate(1964, 4, 1), {}});
    AddPerson(m_sales, {7, "加藤", QDate(1920, 5, 3), {}});
    AddPerson(m_other, {8, "他社員", QDate(1970, 1, 1), {}});
    AddGroup();
    CloseCompanyWindows();
    theApp()->OnShowCompany();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

void TestPrinting::init()
{
    for (const QString &name : QDir(m_dir.path()).entryList({QStringLiteral("*.pdf")}))
        QFile::remove(m_dir.filePath(name));
}

void TestPrinting::SelectUnit(qint32 unitId)
{
    Tree()->setFocus();
    Tree()->RevealUnit(unitId);
    QCOMPARE(CLeftView::UnitId(Tree()->currentItem()), unitId);
}

void TestPrinting::SelectEmployees(const QStringList &names)
{
    SelectUnit(m_sales);
    List()->setFocus();
    List()->selectionModel()->clearSelection();
    const QStringList shown = Column(List());
    for (const QString &name : names) {
        const int row = int(shown.indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        List()->selectionModel()->select(List()->model()->index(row, 0), QItemSelectionModel::Select);
    }
}

void TestPrinting::companyListOnPaper()
{
    SelectUnit(m_sales);
    CDialogAnswers enter(PressEnter);
    Frame()->OnCommand(ID_FILE_PRINT);
    QCOMPARE(enter.Texts().size(), 1);
    const QStringList pages = PdfPages(PrintFile(QStringLiteral("社員一覧表")));
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QStringLiteral("社員一覧表")));
    QVERIFY(pages[0].contains(QStringLiteral("本社")));
    QVERIFY(pages[0].contains(QStringLiteral("ﾍﾟｰｼﾞ1/2")));
    QVERIFY(pages[1].contains(QStringLiteral("ﾍﾟｰｼﾞ2/2")));
    const QString all = pages.join(QString());
    for (const char *name : {"社長", "青木", "井上", "上田", "江藤", "岡田", "加藤"})
        QVERIFY2(all.contains(QString::fromUtf8(name)), name);
    QVERIFY(!all.contains(QStringLiteral("他社員")));
    // Dates in their era; only 井上 has left.
    QVERIFY(all.contains(QStringLiteral("昭和35年04月01日")));
    QVERIFY(all.contains(QStringLiteral("大正9年05月03日")));
    QVERIFY(all.contains(QStringLiteral("平成13年03月31日")));
    QCOMPARE(all.count(QStringLiteral("退職年月日")), 1);
    QCOMPARE(all.count(QStringLiteral("入社年月日")), 7);
    QVERIFY(all.contains(QStringLiteral("TEL:03-1234-5678")));
}

void TestPrinting::companyListPages()
{
    CCompanyListJob &job = Tree()->GetPrintJob();
    QVERIFY(job.PrepareCompanyPrintJob(m_sales));
    QCOMPARE(job.GetRecordCount(), 7);
    QCOMPARE(job.GetPageCount(), 2);
    QCOMPARE(job.GetTable().m_strSubtitle, QStringLiteral("本社"));
    // The employee of the company itself has the company as the path, the others their department.
    QStringList paths;
    for (const CPrintRecord &record : job.GetRecords())
        paths << record.m_strPath;
    QCOMPARE(paths.count(QStringLiteral("本社\n")), 1);
    QCOMPARE(paths.count(QStringLiteral("営業部\n")), 6);

    // A company without employees prints one page with an empty grid; a unit that is gone, nothing.
    QVERIFY(job.PrepareCompanyPrintJob(CRegisterBuilder::AddUnit({0, 30, QStringLiteral("空会社")})));
    QCOMPARE(job.GetRecordCount(), 0);
    QCOMPARE(job.GetPageCount(), 1);
    QVERIFY(!job.PrepareCompanyPrintJob(99999));
    QCOMPARE(job.GetRecordCount(), 0);
}

void TestPrinting::companyListPhotoClippedToItsCell()
{
    const qint32 company = CRegisterBuilder::AddUnit({0, 40, QStringLiteral("写真会社")});
    // 200 pixels are 700 table units: wider than the 400 of the photo column.
    AddPerson(company, {41, "大写真", QDate(1970, 1, 1), {}}, SolidPhoto(QSize(200, 20), Qt::blue));
    CCompanyListJob job;
    QVERIFY(job.PrepareCompanyPrintJob(company));
    QImage page = UnitCanvas();
    {
        QPainter dc(&page);
        job.DrawCompanyListPage(dc, {page.rect(), 1});
    }
    // The first cell starts at (100, 380); 20 pixels are 70 units high.
    QCOMPARE(page.pixel(300, 420), QColor(Qt::blue).rgb());
    QCOMPARE(page.pixel(300, 460), QColor(Qt::white).rgb());
    QCOMPARE(page.pixel(600, 420), QColor(Qt::white).rgb());
}

void TestPrinting::cardsOnPaper()
{
    SelectEmployees({QStringLiteral("青木"), QStringLiteral("井上"), QStringLiteral("上田")});
    CDialogAnswers enter(PressEnter);
    Frame()->OnCommand(ID_FILE_PRINT);
    QCOMPARE(enter.Texts().size(), 1);
    const QStringList pages = PdfPages(PrintFile(QStringLiteral("社員名刺")));
    QCOMPARE(pages.size(), 3);
    const QStringList names{QStringLiteral("青木"), QStringLiteral("井上"), QStringLiteral("上田")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(pages[i].count(names[i]), 10);
        QCOMPARE(pages[i].count(QStringLiteral("本社")), 10);
        QCOMPARE(pages[i].count(QStringLiteral("〒100-0001")), 10);
        // Cards carry neither the table's title nor a page number.
        QVERIFY(!pages[i].contains(QStringLiteral("社員一覧表")));
        QVERIFY(!pages[i].contains(QStringLiteral("ﾍﾟｰｼﾞ")));
    }
}

void TestPrinting::cardOfAnEmployeeWithoutUnit()
{
    CMorvekDoc layout;
    CMast01 employees;
    employees.Open();
    CCardPrintJob job(&layout);
    QVERIFY(employees.FindFirst(QStringLiteral("Code = 2")));
    QVERIFY(job.AddCardRecord(employees.m_ID));
    // The unit of the next one is gone: its card shows no unit items, not the previous card's.
    const qint32 lost = AddPerson(123456, {50, "迷子", QDate(1970, 1, 1), {}}, SolidPhoto(QSize(300, 300), Qt::red));
    QVERIFY(job.AddCardRecord(lost));
    const CPrintRecord &record = job.GetRecords().back();
    QCOMPARE(record.m_strCompany, QString());
    QCOMPARE(record.m_Yuu, QString());
    QCOMPARE(record.m_strPath, QString());

    QImage page = UnitCanvas();
    {
        QPainter dc(&page);
        job.DrawCardPage(dc, {page.rect(), 2});
    }
    // The default photo box, 240 x 320 at (40, 120), holds the square photo as
    // 240 x 240, centred: from 160 to 400 down, clear of the text from 310 across.
    QCOMPARE(page.pixel(100, 300), QColor(Qt::red).rgb());
    QCOMPARE(page.pixel(100, 140), QColor(Qt::white).rgb());
    QCOMPARE(page.pixel(295, 300), QColor(Qt::white).rgb());
    // The second card of the row has its photo too.
    QCOMPARE(page.pixel(1000, 300), QColor(Qt::red).rgb());
}

void TestPrinting::pageRangeOfTheDialog()
{
    SelectUnit(m_company);
    int maxPage = 0;
    CDialogAnswers secondPage([&maxPage](QDialog &dialog) {
        auto &print = static_cast<QPrintDialog &>(dialog);
        maxPage = print.maxPage();
        print.setPrintRange(QAbstractPrintDialog::PageRange);
        print.setFromTo(2, 2);
        return PressEnter(dialog);
    });
    Frame()->OnCommand(ID_FILE_PRINT);
    QCOMPARE(maxPage, 2);
    const QStringList pages = PdfPages(PrintFile(QStringLiteral("社員一覧表")));
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].contains(QStringLiteral("ﾍﾟｰｼﾞ2/2")));
}

void TestPrinting::printFile_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("pages");
    QTest::newRow("direct: no dialog") << int(ID_FILE_PRINT_DIRECT) << false << 0 << 2;
    QTest::newRow("dialog cancelled") << int(ID_FILE_PRINT) << false << 1 << 0;
}

void TestPrinting::printFile()
{
    QFETCH(int, command);
    QFETCH(bool, accept);
    QFETCH(int, dialogs);
    QFETCH(int, pages);
    SelectUnit(m_company);
    CDialogAnswers answers([accept](QDialog &dialog) { return accept ? PressEnter(dialog) : int(QDialog::Rejected); });
    Frame()->OnCommand(command);
    QCOMPARE(answers.Texts().size(), dialogs);
    const QString file = PrintFile(QStringLiteral("社員一覧表"));
    QCOMPARE(QFile::exists(file) ? PdfPages(file).size() : 0, pages);
}

void TestPrinting::preview_data()
{
    QTest::addColumn<bool>("cards");
    QTest::addColumn<int>("pages");
    QTest::newRow("company list") << false << 2;
    QTest::newRow("cards") << true << 2;
}

void TestPrinting::preview()
{
    QFETCH(bool, cards);
    QFETCH(int, pages);
    if (cards)
        SelectEmployees({QStringLiteral("江藤"), QStringLiteral("岡田")});
    else
        SelectUnit(m_company);
    int shown = -1;
    QString title;
    QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
    CDialogAnswers look([&](QDialog &dialog) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(&dialog);
        if (!preview)
            return int(QDialog::Rejected);
        auto *widget = preview->findChild<QPrintPreviewWidget *>();
        widget->updatePreview();
        shown = widget->pageCount();
        title = preview->windowTitle();
        zoom = widget->zoomMode();
        return int(QDialog::Rejected);
    });
    Frame()->OnCommand(ID_FILE_PRINT_PREVIEW);
    QCOMPARE(shown, pages);
    // Whole pages, and how many in the title.
    QCOMPARE(zoom, QPrintPreviewWidget::FitInView);
    QVERIFY2(title.contains(QStringLiteral("（%1 ページ）").arg(pages)), qPrintable(title));
}

void TestPrinting::printCommandsFollowWhatCanBePrinted()
{
    CChildFrame *child = Frame()->GetActiveChild();
    child->GetLeftPane()->setFocus();
    child->GetLeftPane()->setCurrentItem(nullptr);
    QVERIFY(!Enabled(ID_FILE_PRINT));
    SelectUnit(m_sales);
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        QVERIFY(Enabled(id));
    // In the list only employees print: a unit row alone does not.
    List()->setFocus();
    List()->selectionModel()->clearSelection();
    QVERIFY(!Enabled(ID_FILE_PRINT_PREVIEW));
    SelectEmployees({QStringLiteral("青木")});
    QVERIFY(Enabled(ID_FILE_PRINT_PREVIEW));
    // Without a company window there is nothing to print.
    CloseCompanyWindows();
    QVERIFY(!Enabled(ID_FILE_PRINT));
    theApp()->OnShowCompany();
    QTRY_VERIFY(Frame()->GetActiveChild());
}

void TestPrinting::nothingSelectedInTheListPrintsNothing()
{
    SelectUnit(m_sales);
    List()->setFocus();
    List()->selectionModel()->clearSelection();
    CDialogAnswers answers(PressEnter);
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        Frame()->OnCommand(id);
    QVERIFY(answers.Texts().isEmpty());
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

// Gathered unit by unit, the list still comes in the order employees were added;
// those without a unit, or with one that is gone, belong to no company.
void TestPrinting::companyListInIdOrderAcrossUnits()
{
    const qint32 company = CRegisterBuilder::AddUnit({0, 60, QStringLiteral("順番会社")});
    const qint32 department = CRegisterBuilder::AddUnit({company, 60, QStringLiteral("順番部")});
    AddPerson(department, {61, "先", QDate(1970, 1, 1), {}});
    AddPerson(0, {62, "無所属", QDate(1970, 1, 1), {}});
    AddPerson(company, {63, "後", QDate(1970, 1, 1), {}});
    AddPerson(98765, {64, "迷子", QDate(1970, 1, 1), {}});
    CCompanyListJob job;
    QVERIFY(job.PrepareCompanyPrintJob(department));
    QStringList names;
    for (const CPrintRecord &record : job.GetRecords())
        names << record.m_Name + QLatin1Char('/') + record.m_strPath;
    QCOMPARE(names, (QStringList{"先/順番部\n", "後/順番会社\n"}));
}

void TestPrinting::AddGroup()
{
    m_group = CRegisterBuilder::AddUnit({0, 70, QStringLiteral("グループ会社")});
    m_first = CRegisterBuilder::AddUnit({m_group, 70, QStringLiteral("甲部")});
    const qint32 section = CRegisterBuilder::AddUnit({m_first, 70, QStringLiteral("甲一課")});
    const qint32 second = CRegisterBuilder::AddUnit({m_group, 70, QStringLiteral("乙部")});
    CRegisterBuilder::AddUnit({m_group, 70, QStringLiteral("空部")});
    AddPerson(m_group, {71, "会長", QDate(1950, 1, 1), {}});
    AddPerson(m_first, {72, "甲野", QDate(1960, 1, 1), {}});
    m_squared = AddPerson(m_first, {73, "甲田", QDate(1961, 1, 1), {}}, SolidPhoto(QSize(300, 300), Qt::red));
    AddPerson(section, {74, "課員", QDate(1970, 1, 1), {}});
    AddPerson(second, {75, "乙川", QDate(1980, 1, 1), {}});
}

void TestPrinting::unitListGroupedByUnit_data()
{
    QTest::addColumn<bool>("fromCompany");
    QTest::addColumn<bool>("breaks");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QList<int>>("groupsPerPage");
    const QStringList all{"グループ会社", "グループ会社 / 甲部", "グループ会社 / 甲部 / 甲一課", "グループ会社 / 乙部"};
    QTest::newRow("company, one page") << true << false << all << QList<int>{4};
    // The company's own, then 甲部 with 甲一課 under it, then 乙部; 空部 has nobody.
    QTest::newRow("company, a page per top unit") << true << true << all << QList<int>{1, 2, 1};
    QTest::newRow("a department and the one under it") << false << true << QStringList{all[1], all[2]} << QList<int>{1, 1};
}

void TestPrinting::unitListGroupedByUnit()
{
    QFETCH(bool, fromCompany);
    QFETCH(bool, breaks);
    QFETCH(QStringList, headings);
    QFETCH(QList<int>, groupsPerPage);
    CCompanyListJob job;
    QVERIFY(job.PrepareUnitPrintJob(fromCompany ? m_group : m_first, breaks));
    QCOMPARE(job.GetHeadings(), headings);
    QList<int> counted;
    for (const CListPager::CPage &page : job.GetPages()) {
        QSet<int> groups;
        for (const CListPager::SSlot &slot : page)
            groups.insert(slot.nGroup);
        counted << int(groups.size());
    }
    QCOMPARE(counted, groupsPerPage);
    QCOMPARE(job.GetPageCount(), int(groupsPerPage.size()));
    // A nested path is indented alike on every line.
    const CPrintRecord &section = job.GetRecords()[size_t(job.GetRecordCount() - (fromCompany ? 2 : 1))];
    QCOMPARE(section.m_Name, QStringLiteral("課員"));
    QVERIFY(CCompanyListJob::OtherText(section).startsWith(QStringLiteral("\n  甲部\n  甲一課\n")));
}

void TestPrinting::unitListFromTheMenu()
{
    SelectUnit(m_first);
    QVERIFY(Enabled(ID_PRINT_UNIT_LIST));
    CDialogAnswers enter(PressEnter);
    Frame()->OnCommand(ID_PRINT_UNIT_LIST);
    QCOMPARE(enter.Texts().size(), 1);
    const QStringList pages = PdfPages(PrintFile(QStringLiteral("社員一覧表")));
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].contains(QStringLiteral("■グループ会社/甲部/甲一課")));
    QVERIFY(pages[0].contains(QStringLiteral("課員")));
    QVERIFY(!pages[0].contains(QStringLiteral("乙川")));
    QVERIFY(CMorvekApp::Settings()->value(QStringLiteral("Print/ListByUnit")).toBool());
    CMorvekApp::Settings()->setValue(QStringLiteral("Print/ListByUnit"), false);
}

// The dialog's tab turns the whole company's list into the grouped one, and
// the next print remembers it.
void TestPrinting::listChoiceInThePrintDialog()
{
    SelectUnit(m_group);
    CDialogAnswers byUnit([](QDialog &dialog) {
        auto *tab = dialog.findChild<CListOptionsTab *>();
        if (!tab)
            return int(QDialog::Rejected);
        tab->ByUnitButton()->setChecked(true);
        tab->BreakBox()->setChecked(true);
        return PressEnter(dialog);
    });
    Frame()->OnCommand(ID_FILE_PRINT);
    QCOMPARE(byUnit.Texts().size(), 1);
    QCOMPARE(PdfPages(PrintFile(QStringLiteral("社員一覧表"))).size(), 3);
    CListPrintChoice remembered;
    remembered.Load(*CMorvekApp::Settings());
    QVERIFY(remembered.m_bByUnit && remembered.m_bBreakPerTopUnit);
    CMorvekApp::Settings()->setValue(QStringLiteral("Print/ListByUnit"), false);
}

void TestPrinting::cardsOnStockWithAnOffset_data()
{
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<bool>("marks");
    QTest::newRow("stock as it is") << 0 << 0 << false;
    QTest::newRow("2.5 mm right, 5 mm up, cut marks") << 25 << -50 << true;
}

// On A4 stock the first card starts at (140, 110), shifted by the offset; the
// square photo fills 240 x 240 of the default box at (40, 120) in the card.
void TestPrinting::cardsOnStockWithAnOffset()
{
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(bool, marks);
    CMorvekDoc layout;
    CCardPrintJob job(&layout);
    CCardSheet sheet;
    sheet.m_stock = CCardSheet::EStock::a4TenUp;
    sheet.m_nOffsetX = offsetX;
    sheet.m_nOffsetY = offsetY;
    sheet.m_bCutMarks = marks;
    job.SetSheet(sheet);
    QVERIFY(job.AddCardRecord(m_squared));
    QImage page = UnitCanvas();
    {
        QPainter dc(&page);
        job.DrawCardPage(dc, {page.rect(), 1});
    }
    const QPoint card(140 + offsetX, 110 + offsetY);
    const QPoint photo = card + QPoint(40, 160);
    for (const QPoint &inside : {photo + QPoint(2, 2), photo + QPoint(237, 237), photo + QPoint(910, 550)})
        QCOMPARE(page.pixel(inside), QColor(Qt::red).rgb());
    for (const QPoint &outside : {photo + QPoint(-3, 100), photo + QPoint(100, -3), photo + QPoint(243, 100)})
        QCOMPARE(page.pixel(outside), QColor(Qt::white).rgb());
    // A mark 2 to 7 mm above the grid where the cards meet.
    QCOMPARE(qGray(page.pixel(card.x() + 910, card.y() - 40)) < 128, marks);
}

void TestPrinting::cardStockRemembered()
{
    CDialogAnswers stock([](QDialog &dialog) {
        auto *choice = qobject_cast<CCardStockDlg *>(&dialog);
        if (!choice)
            return int(QDialog::Rejected);
        choice->StockButton()->setChecked(true);
        choice->OffsetXBox()->setValue(-1.5);
        choice->OffsetYBox()->setValue(9);
        return int(QDialog::Accepted);
    });
    Frame()->OnCommand(ID_CARD_STOCK);
    QCOMPARE(stock.Texts().size(), 1);
    // The next cards are placed so.
    SelectEmployees({QStringLiteral("青木")});
    CDialogAnswers close([](QDialog &) { return int(QDialog::Rejected); });
    Frame()->OnCommand(ID_FILE_PRINT_PREVIEW);
    const CCardSheet &used = List()->GetPrintJob().GetSheet();
    QCOMPARE(used.m_stock, CCardSheet::EStock::a4TenUp);
    QCOMPARE(used.m_nOffsetX, -15);
    QCOMPARE(used.m_nOffsetY, 50);
}

// An older layout puts the 〒 line over the photo's box: the line is printed on
// its white background on top of the photo.
void TestPrinting::textOverThePhotoStaysReadable()
{
    CMorvekDoc layout;
    layout.m_fields = {CCardField{.m_nKind = CCardField::kindPhoto,
                                  .m_nField = 99,
                                  .m_nLeft = 200,
                                  .m_nTop = 200,
                                  .m_nRight = 850,
                                  .m_nBottom = 450,
                                  .m_nFormat = CCardField::formatSingleLine,
                                  .m_crBack = 0xffffff},
                       CCardField{.m_nKind = CCardField::kindText,
                                  .m_nField = 3,
                                  .m_nLeft = 250,
                                  .m_nTop = 460,
                                  .m_nRight = 600,
                                  .m_nBottom = 490,
                                  .m_nFormat = CCardField::formatSingleLine,
                                  .m_crBack = 0xffffff}};
    // The text field first, as a loaded file may have it.
    std::reverse(layout.m_fields.begin(), layout.m_fields.end());
    CCardPrintJob job(&layout);
    QVERIFY(job.AddCardRecord(m_squared));
    QImage page = UnitCanvas();
    {
        QPainter dc(&page);
        job.DrawCardPage(dc, {page.rect(), 1});
    }
    // The square photo fills its box's 250 x 250 from y 250 to 500.
    QCOMPARE(page.pixel(300, 300), QColor(Qt::red).rgb());
    int ink = 0;
    // "〒 " alone (the unit has no postal code) takes about 45 units.
    for (int x = 252; x < 280; ++x) {
        QVERIFY2(page.pixel(x, 475) != QColor(Qt::red).rgb(), qPrintable(QString::number(x)));
        ink += qGray(page.pixel(x, 475)) < 128 ? 1 : 0;
    }
    QVERIFY(ink > 0);
}

// 住所2 of 60 characters: all of it on the page, wrapped, at 2.5 mm or more.
void TestPrinting::longAddressWrappedNotShrunk()
{
    const qint32 company = CRegisterBuilder::AddUnit({0, 80, QStringLiteral("住所会社")});
    QString address;
    while (address.size() < 60)
        address += QStringLiteral("北海道札幌市中央区北一条西二丁目一番地");
    address.truncate(60);
    CRegisterBuilder::AddEmployee({.code = 81, .busyo = company, .name = QStringLiteral("遠方"), .juu2 = address});
    CCompanyListJob job;
    QVERIFY(job.PrepareCompanyPrintJob(company));
    const QString path = m_dir.filePath(QStringLiteral("address.pdf"));
    {
        QPdfWriter writer(path);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5)));
        job.Render(writer, 1, 1);
    }
    QVERIFY(PdfPages(path).value(0).contains(address));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    pdftotext.waitForFinished();
    const QString boxes = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">(.*)</word>"));
    int lines = 0;
    for (auto match = word.globalMatch(boxes); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        if (!address.contains(found.captured(3)) || found.captured(3).size() < 5)
            continue;
        ++lines;
        // 2.5 mm is 7.09 points.
        QVERIFY2(found.captured(2).toDouble() - found.captured(1).toDouble() >= 7.0, qPrintable(found.captured(0)));
    }
    QVERIFY(lines >= 2);
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestPrinting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printing.moc"
