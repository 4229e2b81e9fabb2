#include "views/unaffiliateddlg.h"

#include "forms/dialogunits.h"
#include "views/draglistctrl.h"
#include "views/rowdelegate.h"
#include "views/rowimages.h"
#include "views/unitcontentsmodel.h"

#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("社員検索");
constexpr QSize kTemplateSize(62, 153);  // dialog units
constexpr int kIconSize = 32;
} // namespace

CUnaffiliatedDlg::CUnaffiliatedDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_pModel(new CUnitContentsModel(this))
    , m_pList(new CDragListCtrl(m_pModel, this))
{
    setWindowTitle(kTitle);
    setFont(CDialogUnits::DialogFont());
    resize(CDialogUnits(font()).ToPixels(kTemplateSize.width(), kTemplateSize.height()));

    m_pList->setIconSize(QSize(kIconSize, kIconSize));
    m_pList->setWordWrap(true);
    // Rows alike in size, each cutting a long name short in its cell.
    auto *rows = new CRowDelegate(nullptr, m_pList);
    const QSize cell = CRowImages::IconCell(m_pList->font());
    rows->SetCellSize(cell - QSize(2, 2));
    m_pList->setItemDelegate(rows);
    m_pList->setGridSize(cell);
    m_pList->setUniformItemSizes(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);
}

CUnaffiliatedDlg::~CUnaffiliatedDlg()
{
    // Hidden while still whole, so that the owner gets the activation back.
    if (isVisible())
        hide();
}

void CUnaffiliatedDlg::setVisible(bool visible)
{
    const bool wasActive = !visible && isActiveWindow();
    QDialog::setVisible(visible);
    // As with an owned window, the activation goes back to the owner.
    if (wasActive && parentWidget())
        parentWidget()->window()->activateWindow();
}
