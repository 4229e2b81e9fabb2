#include "charts/orgchartpaperdlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>

namespace {
QSettings Settings()
{
    return QSettings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
}
} // namespace

COrgChartPaperDlg::COrgChartPaperDlg(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_pSize(new QComboBox(this))
    , m_pOrientation(new QComboBox(this))
    , m_pFit(new QComboBox(this))
{
    setWindowTitle(title);
    m_pSize->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    m_pSize->addItem(QStringLiteral("A3"), int(QPageSize::A3));
    m_pOrientation->addItem(QStringLiteral("横"), int(QPageLayout::Landscape));
    m_pOrientation->addItem(QStringLiteral("縦"), int(QPageLayout::Portrait));
    m_pFit->addItem(QStringLiteral("読める大きさで（入らなければ複数ページ）"), int(COrgChartFiles::EFit::readable));
    m_pFit->addItem(QStringLiteral("1 ページに収める"), int(COrgChartFiles::EFit::onePage));
    m_pFit->addItem(QStringLiteral("複数ページに分ける（重なりの印付き）"), int(COrgChartFiles::EFit::spread));

    const COrgChartFiles::SPaper paper = Remembered();
    m_pSize->setCurrentIndex(std::max(0, m_pSize->findData(int(paper.size))));
    m_pOrientation->setCurrentIndex(std::max(0, m_pOrientation->findData(int(paper.orientation))));
    m_pFit->setCurrentIndex(std::max(0, m_pFit->findData(int(paper.fit))));

    // A screen reader says a field by its label, as the program's other forms do.
    m_pSize->setAccessibleName(QStringLiteral("用紙(S)"));
    m_pOrientation->setAccessibleName(QStringLiteral("向き(O)"));
    m_pFit->setAccessibleName(QStringLiteral("ページ(P)"));
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("用紙(&S):"), m_pSize);
    form->addRow(QStringLiteral("向き(&O):"), m_pOrientation);
    form->addRow(QStringLiteral("ページ(&P):"), m_pFit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Remember(Paper());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

COrgChartFiles::SPaper COrgChartPaperDlg::Paper() const
{
    return {QPageSize::PageSizeId(m_pSize->currentData().toInt()),
            QPageLayout::Orientation(m_pOrientation->currentData().toInt()),
            COrgChartFiles::EFit(m_pFit->currentData().toInt())};
}

COrgChartFiles::SPaper COrgChartPaperDlg::Remembered()
{
    const QSettings settings = Settings();
    COrgChartFiles::SPaper paper{QPageSize::A4, QPageLayout::Landscape, COrgChartFiles::EFit::readable};
    if (settings.value(QStringLiteral("OrgChart/Paper")).toString() == QLatin1String("A3"))
        paper.size = QPageSize::A3;
    if (settings.value(QStringLiteral("OrgChart/Orientation")).toString() == QLatin1String("portrait"))
        paper.orientation = QPageLayout::Portrait;
    const QString fit = settings.value(QStringLiteral("OrgChart/Pages")).toString();
    if (fit == QLatin1String("one"))
        paper.fit = COrgChartFiles::EFit::onePage;
    else if (fit == QLatin1String("spread"))
        paper.fit = COrgChartFiles::EFit::spread;
    return paper;
}

void COrgChartPaperDlg::Remember(const COrgChartFiles::SPaper &paper)
{
    QSettings settings = Settings();
    settings.setValue(QStringLiteral("OrgChart/Paper"), paper.size == QPageSize::A3 ? "A3" : "A4");
    settings.setValue(QStringLiteral("OrgChart/Orientation"),
                      paper.orientation == QPageLayout::Portrait ? "portrait" : "landscape");
    const char *fit = paper.fit == COrgChartFiles::EFit::onePage ? "one"
                    : paper.fit == COrgChartFiles::EFit::spread  ? "spread"
                                                                 : "readable";
    settings.setValue(QStringLiteral("OrgChart/Pages"), QString::fromLatin1(fit));
}
