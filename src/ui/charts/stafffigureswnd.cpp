#include "charts/stafffigureswnd.h"

#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "chart/figurefiles.h"
#include "charts/figureview.h"
#include "register/register.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("人員構成");
constexpr double kMargin = 12; // mm

// Where a print file goes without a printer: the working folder when it lies under
// the home folder, otherwise the home folder, as the other print commands choose.
QString DefaultPrintFile()
{
    const QString home = QDir::homePath();
    QString folder = QDir::currentPath();
    if (folder != home && !folder.startsWith(home + QLatin1Char('/')))
        folder = home;
    return QDir(folder).filePath(kTitle + QStringLiteral(".pdf"));
}

QDateEdit *MonthEdit(const QDate &month, const QDate &last, QWidget *parent)
{
    auto *edit = new QDateEdit(month, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy年M月"));
    edit->setDateRange(QDate(1900, 1, 1), last);
    return edit;
}
} // namespace

CStaffFiguresWnd::CStaffFiguresWnd(CStaffSnapshot snapshot, qint32 unitId, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_snapshot(std::move(snapshot))
    , m_nUnit(unitId)
    , m_figures(m_snapshot, unitId)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    m_pTabs = new QTabWidget(this);
    m_pTabs->setAccessibleName(kTitle);
    const QList<SFigureTable> tables = m_figures.All();
    for (int i = 0; i < CStaffFigures::kCount; ++i) {
        auto *view = new CFigureView;
        view->SetTable(tables.at(i));
        m_views << view;
        const bool monthEnds = CStaffFigures::EFigure(i) == CStaffFigures::EFigure::MonthEnds;
        m_pTabs->addTab(monthEnds ? MonthEndsPage(view) : view, tables.at(i).strName);
    }

    auto *buttons = new QDialogButtonBox(this);
    const std::pair<QString, void (CStaffFiguresWnd::*)()> commands[] = {
        {QStringLiteral("PNG保存(&G)..."), &CStaffFiguresWnd::SavePng},
        {QStringLiteral("PDF保存(&D)..."), &CStaffFiguresWnd::SavePdf},
        {QStringLiteral("CSV保存(&C)..."), &CStaffFiguresWnd::SaveCsv},
        {QStringLiteral("Excel保存(&E)..."), &CStaffFiguresWnd::SaveXlsx},
        {QStringLiteral("印刷(&P)..."), &CStaffFiguresWnd::Print},
    };
    for (const auto &[text, slot] : commands) {
        QPushButton *button = buttons->addButton(text, QDialogButtonBox::ActionRole);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
    }
    QPushButton *close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this, &CStaffFiguresWnd::Print);

    m_pStatus = new QLabel(this);
    m_pStatus->setAccessibleName(QStringLiteral("保存の結果"));
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs, 1);
    layout->addWidget(m_pStatus);
    layout->addWidget(buttons);
    resize(900, 640);
    if (m_snapshot.IsToday()) {
        // A burst of writes (a move of many, an import) is counted once, after it.
        auto *reload = new QTimer(this);
        reload->setSingleShot(true);
        reload->setInterval(300);
        connect(reload, &QTimer::timeout, this, &CStaffFiguresWnd::Reload);
        connect(&CRegister::Instance(), &CRegister::Changed, reload, qOverload<>(&QTimer::start));
    }
    // The arrows and Ctrl+Tab go from figure to figure from the start.
    m_pTabs->tabBar()->setFocus();
}

CStaffFiguresWnd::~CStaffFiguresWnd() = default;

QWidget *CStaffFiguresWnd::MonthEndsPage(CFigureView *view)
{
    auto *page = new QWidget;
    const QDate day = m_snapshot.Day();
    m_pFirst = MonthEdit(m_figures.DefaultFirstMonth(), day, page);
    m_pLast = MonthEdit(day, day, page);
    auto *firstLabel = new QLabel(QStringLiteral("開始月(&F):"), page);
    firstLabel->setBuddy(m_pFirst);
    auto *lastLabel = new QLabel(QStringLiteral("終了月(&L):"), page);
    lastLabel->setBuddy(m_pLast);
    m_pFirst->setAccessibleName(QStringLiteral("開始月(F)"));
    m_pLast->setAccessibleName(QStringLiteral("終了月(L)"));
    connect(m_pFirst, &QDateEdit::dateChanged, this, &CStaffFiguresWnd::ShowMonthEnds);
    connect(m_pLast, &QDateEdit::dateChanged, this, &CStaffFiguresWnd::ShowMonthEnds);

    auto *span = new QHBoxLayout;
    span->setContentsMargins(6, 4, 6, 4);
    span->addWidget(firstLabel);
    span->addWidget(m_pFirst);
    span->addSpacing(12);
    span->addWidget(lastLabel);
    span->addWidget(m_pLast);
    span->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view, 1);
    layout->addLayout(span);
    return page;
}

void CStaffFiguresWnd::Reload()
{
    try {
        CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
        if (m_nUnit != 0 && !snapshot.Unit(m_nUnit)) {
            m_pStatus->setText(QStringLiteral("この部課は削除されました。図はその前のままです。"));
            return;
        }
        // The figures read the snapshot kept here: they count the new one from now on.
        m_snapshot = std::move(snapshot);
        for (int i = 0; i < CStaffFigures::kCount; ++i) {
            if (CStaffFigures::EFigure(i) != CStaffFigures::EFigure::MonthEnds)
                m_views.at(i)->SetTable(m_figures.Figure(CStaffFigures::EFigure(i)));
        }
        ShowMonthEnds();
    } catch (const std::exception &error) {
        m_pStatus->setText(QStringLiteral("図を更新できません: %1").arg(QString::fromUtf8(error.what())));
    }
}

void CStaffFiguresWnd::ShowMonthEnds()
{
    m_views.at(int(CStaffFigures::EFigure::MonthEnds))->SetTable(m_figures.MonthEnds(m_pFirst->date(), m_pLast->date()));
}

QString CStaffFiguresWnd::Status() const
{
    return m_pStatus->text();
}

const SFigureTable &CStaffFiguresWnd::Current() const
{
    return m_views.at(std::max(0, m_pTabs->currentIndex()))->Table();
}

QList<SFigureTable> CStaffFiguresWnd::Tables() const
{
    QList<SFigureTable> tables;
    for (const CFigureView *view : m_views)
        tables << view->Table();
    return tables;
}

QString CStaffFiguresWnd::ChooseFile(const QString &title, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(this, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setNameFilter(filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(Current().strName + QLatin1Char('.') + suffix);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void CStaffFiguresWnd::Save(const QString &title, const QString &filter, const QString &suffix,
                            const std::function<bool(const QString &, QString &)> &write)
{
    const QString file = ChooseFile(title, filter, suffix);
    if (file.isEmpty())
        return;
    QString error;
    if (!write(file, error)) {
        m_pStatus->clear();
        MorvekMessageBox(error + QStringLiteral("\n保存していません。"), QMessageBox::Ok, QMessageBox::Critical, title,
                         this);
        return;
    }
    m_pStatus->setText(QStringLiteral("%1 を保存しました。").arg(QDir::toNativeSeparators(file)));
}

void CStaffFiguresWnd::SavePng()
{
    const SFigureTable table = Current();
    Save(QStringLiteral("PNG保存"), QStringLiteral("PNG 画像 (*.png)"), QStringLiteral("png"),
         [&table](const QString &file, QString &error) {
             return CFigureFiles::WritePng(file, table, CFigureFiles::kPngSize, error);
         });
}

void CStaffFiguresWnd::SavePdf()
{
    const SFigureTable table = Current();
    const QString company = CFigureFiles::Company(m_snapshot, m_nUnit);
    Save(QStringLiteral("PDF保存"), QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"),
         [&](const QString &file, QString &error) { return CFigureFiles::WritePdf(file, {table}, company, error); });
}

void CStaffFiguresWnd::SaveCsv()
{
    const SFigureTable table = Current();
    Save(QStringLiteral("CSV保存"), QStringLiteral("CSV ファイル (*.csv)"), QStringLiteral("csv"),
         [&table](const QString &file, QString &error) { return CFigureFiles::WriteCsv(file, table, error); });
}

void CStaffFiguresWnd::SaveXlsx()
{
    const SFigureTable table = Current();
    Save(QStringLiteral("Excel保存"), QStringLiteral("Excel ブック (*.xlsx)"), QStringLiteral("xlsx"),
         [&table](const QString &file, QString &error) { return CFigureFiles::WriteXlsx(file, table, error); });
}

void CStaffFiguresWnd::Print()
{
    const QList<SFigureTable> tables = Tables();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(kTitle);
    printer.setFullPage(false);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter));
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(DefaultPrintFile());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, int(tables.size()));
    if (CModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const int first = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int last = printer.toPage() > 0 ? printer.toPage() : int(tables.size());
    CFigureFiles::RenderPages(printer, tables, CFigureFiles::Company(m_snapshot, m_nUnit), first, last);
}
