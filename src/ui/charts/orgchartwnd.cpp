#include "charts/orgchartwnd.h"

#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "chart/orgchartfiles.h"
#include "chart/orgchartprintjob.h"
#include "charts/orgchartcanvas.h"
#include "charts/orgchartpaperdlg.h"
#include "print/printrunner.h"
#include "register/register.h"
#include "register/registerasof.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("組織図");

QPushButton *Button(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}
} // namespace

COrgChartWnd::COrgChartWnd(CStaffSnapshot snapshot, std::shared_ptr<const CRegisterAsOf> asOf, qint32 top, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_snapshot(std::move(snapshot))
    , m_pAsOf(std::move(asOf))
    , m_nTop(top)
    , m_source(m_snapshot, m_pAsOf)
    , m_pCanvas(new COrgChartCanvas(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(MakeBar());
    layout->addWidget(m_pCanvas, 1);
    m_pSummary = new QLabel(this);
    layout->addWidget(m_pSummary);
    connect(m_pCanvas, &COrgChartCanvas::Activated, this, &COrgChartWnd::UnitActivated);
    connect(m_pCanvas, &COrgChartCanvas::ToggleRequested, this, &COrgChartWnd::Toggle);
    if (!m_pAsOf) {
        // A burst of writes (a move of many, an import) is read once, after it.
        m_pReload = new QTimer(this);
        m_pReload->setSingleShot(true);
        m_pReload->setInterval(300);
        connect(m_pReload, &QTimer::timeout, this, &COrgChartWnd::Reload);
        connect(&CRegister::Instance(), &CRegister::Changed, m_pReload, qOverload<>(&QTimer::start));
    }
    Rebuild();
    setWindowTitle(m_pChart->DayText().isEmpty() ? m_pChart->Title()
                                                 : QStringLiteral("%1（%2）").arg(m_pChart->Title(), m_pChart->DayText()));
    resize(1000, 700);
    m_pCanvas->setFocus();
}

COrgChartWnd::~COrgChartWnd() = default;

QWidget *COrgChartWnd::MakeBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton *zoomIn = Button(QStringLiteral("拡大(&+)"), QStringLiteral("拡大します（Ctrl++、ホイール）"), bar);
    QPushButton *zoomOut = Button(QStringLiteral("縮小(&-)"), QStringLiteral("縮小します（Ctrl+-、ホイール）"), bar);
    QPushButton *fit = Button(QStringLiteral("全体表示(&W)"), QStringLiteral("図全体をウィンドウに収めます（Ctrl+0）"),
                              bar);
    m_pFaces = new QCheckBox(QStringLiteral("顔写真(&F)"), bar);
    m_pFaceLimit = new QSpinBox(bar);
    m_pFaceLimit->setRange(1, 200);
    m_pFaceLimit->setValue(m_options.faceLimit);
    m_pFaceLimit->setSuffix(QStringLiteral(" 人まで"));
    m_pFaceLimit->setAccessibleName(QStringLiteral("1 部課に顔写真を出す人数"));
    m_pFaceLimit->setEnabled(false);
    QPushButton *save = Button(QStringLiteral("保存(&S)..."), QStringLiteral("PDF、SVG、PNG に書き出します"), bar);
    QPushButton *print = Button(QStringLiteral("印刷(&P)..."), QStringLiteral("A4 か A3 に印刷します"), bar);
    QPushButton *close = Button(QStringLiteral("閉じる"), QStringLiteral("組織図を閉じます（Esc）"), bar);
    for (QWidget *widget : {static_cast<QWidget *>(zoomIn), static_cast<QWidget *>(zoomOut), static_cast<QWidget *>(fit),
                            static_cast<QWidget *>(m_pFaces), static_cast<QWidget *>(m_pFaceLimit)})
        row->addWidget(widget);
    row->addStretch(1);
    for (QWidget *widget : {save, print, close})
        row->addWidget(widget);

    connect(zoomIn, &QPushButton::clicked, m_pCanvas, &COrgChartCanvas::ZoomIn);
    connect(zoomOut, &QPushButton::clicked, m_pCanvas, &COrgChartCanvas::ZoomOut);
    connect(fit, &QPushButton::clicked, m_pCanvas, &COrgChartCanvas::FitToWindow);
    connect(m_pFaces, &QCheckBox::toggled, this, &COrgChartWnd::SetFaces);
    connect(m_pFaceLimit, &QSpinBox::valueChanged, this, &COrgChartWnd::SetFaceLimit);
    connect(save, &QPushButton::clicked, this, &COrgChartWnd::OnSave);
    connect(print, &QPushButton::clicked, this, &COrgChartWnd::OnPrint);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    const struct {
        QKeySequence keys;
        void (COrgChartCanvas::*act)();
    } keys[] = {{QKeySequence::ZoomIn, &COrgChartCanvas::ZoomIn},
                {QKeySequence(Qt::CTRL | Qt::Key_Equal), &COrgChartCanvas::ZoomIn},
                {QKeySequence::ZoomOut, &COrgChartCanvas::ZoomOut},
                {QKeySequence(Qt::CTRL | Qt::Key_0), &COrgChartCanvas::FitToWindow}};
    for (const auto &key : keys) {
        auto *action = new QAction(this);
        action->setShortcut(key.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, m_pCanvas, key.act);
        addAction(action);
    }
    auto *printKey = new QAction(this);
    printKey->setShortcut(QKeySequence::Print);
    connect(printKey, &QAction::triggered, this, &COrgChartWnd::OnPrint);
    addAction(printKey);
    auto *saveKey = new QAction(this);
    saveKey->setShortcut(QKeySequence::Save);
    connect(saveKey, &QAction::triggered, this, &COrgChartWnd::OnSave);
    addAction(saveKey);
    return bar;
}

void COrgChartWnd::Rebuild()
{
    auto chart = std::make_unique<COrgChart>(m_snapshot, m_nTop, m_options, m_source.MembersOf());
    m_pCanvas->SetChart(chart.get(), ScreenFaces());
    m_pChart = std::move(chart);
    const int top = m_nTop;
    m_pSummary->setText(
        QStringLiteral("部課 %1 件、社員 %2 人（退社した社員と入社前の社員は数えません）。ダブルクリックか Enter "
                       "で会社構成に表示、Space で下の部課をたたむ・広げる。")
            .arg(m_pChart->Boxes().size())
            .arg(m_snapshot.Total(top)));
}

void COrgChartWnd::Reload()
{
    try {
        CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
        if (m_nTop != 0 && !snapshot.Unit(m_nTop)) {
            m_pSummary->setText(QStringLiteral("この部課は削除されました。組織図はその前のままです。"));
            return;
        }
        m_snapshot = std::move(snapshot);
        m_source.SetSnapshot(m_snapshot);
        Rebuild();
    } catch (const std::exception &error) {
        // A lost server is told by the company window; the chart stays as it was.
        m_pSummary->setText(QStringLiteral("組織図を更新できません: %1").arg(QString::fromUtf8(error.what())));
    }
}

COrgChartPainter::FaceOf COrgChartWnd::ScreenFaces()
{
    // Without a cache of the company window's, faces are read here when drawn.
    return m_screenFaces ? m_screenFaces : m_source.FaceOf();
}

void COrgChartWnd::SetScreenFaces(COrgChartPainter::FaceOf faceOf)
{
    m_screenFaces = std::move(faceOf);
    m_pCanvas->SetChart(m_pChart.get(), ScreenFaces());
}

void COrgChartWnd::FacesArrived()
{
    m_pCanvas->viewport()->update();
}

void COrgChartWnd::SetFaces(bool faces)
{
    if (m_options.faces == faces)
        return;
    m_options.faces = faces;
    m_pFaces->setChecked(faces);
    m_pFaceLimit->setEnabled(faces);
    Rebuild();
    // Alt+F is a switch of the chart's: the arrows go on working in the chart.
    m_pCanvas->setFocus();
}

void COrgChartWnd::SetFaceLimit(int limit)
{
    if (m_options.faceLimit == limit)
        return;
    m_options.faceLimit = limit;
    m_pFaceLimit->setValue(limit);
    if (m_options.faces)
        Rebuild();
}

void COrgChartWnd::Toggle(qint32 unitId)
{
    if (m_options.collapsed.contains(unitId))
        m_options.collapsed.remove(unitId);
    else if (!m_snapshot.Children(unitId).isEmpty())
        m_options.collapsed.insert(unitId);
    else
        return;
    Rebuild();
}

QString COrgChartWnd::SaveTo(const QString &file, const COrgChartFiles::SPaper &paper)
{
    // Files get faces as sharp as the paper needs, read here rather than from the screen's cache.
    return COrgChartFiles::Write(file, *m_pChart, m_source.FaceOf(), paper);
}

void COrgChartWnd::OnSave()
{
    QFileDialog dialog(this, QStringLiteral("組織図の保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("PDF (*.pdf)"), QStringLiteral("SVG 画像 (*.svg)"), QStringLiteral("PNG 画像 (*.png)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QStringLiteral("組織図.pdf"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        const QString suffix = filter.section(QStringLiteral("*."), 1).chopped(1);
        dialog.setDefaultSuffix(suffix);
    });
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().constFirst();
    COrgChartFiles::SPaper paper = COrgChartPaperDlg::Remembered();
    if (QFileInfo(file).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        COrgChartPaperDlg choice(QStringLiteral("組織図の保存"), this);
        if (CModalSeam::Exec(choice) != QDialog::Accepted)
            return;
        paper = choice.Paper();
    }
    if (QFileInfo::exists(file)
        && MorvekMessageBox(QStringLiteral("%1 はすでにあります。置き換えますか？").arg(file),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, kTitle, this, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    const QString error = SaveTo(file, paper);
    if (!error.isEmpty())
        MorvekMessageBox(error, QMessageBox::Ok, QMessageBox::Warning, kTitle, this);
}

void COrgChartWnd::OnPrint()
{
    COrgChartPaperDlg choice(QStringLiteral("組織図の印刷"), this);
    if (CModalSeam::Exec(choice) != QDialog::Accepted)
        return;
    const COrgChartFiles::SPaper paper = choice.Paper();
    COrgChartPrintJob job(*m_pChart, COrgChartFiles::LayoutOf(paper), COrgChartFiles::FitsOnePage(*m_pChart, paper),
                          m_source.FaceOf());
    CPrintRunner::Print(job, COrgChartFiles::LayoutOf(paper), this, false);
}

void COrgChartWnd::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
