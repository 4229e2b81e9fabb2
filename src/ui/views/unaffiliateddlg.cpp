#include "views/unaffiliateddlg.h"

#include "forms/asofdate.h"
#include "forms/changefollower.h"
#include "forms/dialogunits.h"
#include "register/employees.h"
#include "views/busyindicator.h"
#include "views/draglistctrl.h"
#include "views/listfollower.h"
#include "views/rowdelegate.h"
#include "views/rowimages.h"
#include "views/roworder.h"
#include "views/rowsstate.h"
#include "views/unitcontentsmodel.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("社員検索");
constexpr QSize kTemplateSize(62, 153); // dialog units
constexpr int kIconSize = 32;
constexpr int kCellSlack = 8;      // pixels between the cell and the scroll bar
constexpr int kTitleButtons = 120; // pixels a window manager takes for its icon and buttons

std::vector<CUnitContentsModel::SRow> RowsOf(const QList<SEmployeeRow> &employees)
{
    std::vector<CUnitContentsModel::SRow> rows;
    rows.reserve(size_t(employees.size()));
    for (const SEmployeeRow &employee : employees)
        rows.push_back(CUnitContentsModel::EmployeeRow(employee));
    return rows;
}
} // namespace

// A column of names with its scroll bar beside it, and the title with the
// window's buttons, not cut off as the template's width would.
int CUnaffiliatedDlg::WidthNeeded() const
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int names = CRowImages::IconCell(font()).width() + scrollBar + frame + kCellSlack;
    // Window managers draw titles bold.
    QFont bold = font();
    bold.setBold(true);
    const int title = QFontMetrics(bold).horizontalAdvance(kTitle) + kTitleButtons;
    return qMax(names, title);
}

CUnaffiliatedDlg::CUnaffiliatedDlg(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_pModel(new CUnitContentsModel(this))
    , m_pList(new CDragListCtrl(m_pModel, this))
{
    setWindowTitle(kTitle);
    setFont(CDialogUnits::DialogFont());
    const QSize size = CDialogUnits(font()).ToPixels(kTemplateSize.width(), kTemplateSize.height());
    resize(qMax(size.width(), WidthNeeded()), size.height());

    m_pList->setAccessibleName(QStringLiteral("所属のない社員"));
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

    connect(m_pList, &CEmployeeDragSource::DragMoved, this, &CUnaffiliatedDlg::DragMoved);
    connect(m_pList, &CEmployeeDragSource::DragEnded, this, &CUnaffiliatedDlg::DragEnded);
    connect(m_pList, &CEmployeeDragSource::EmployeesDropped, this, &CUnaffiliatedDlg::EmployeesDropped);
    new CChangeFollower(
        this, [this](const CRegisterChanges &changes) { Apply(changes); },
        [this](const SRegisterChange &change) { return ApplyNow(change); });
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

void CUnaffiliatedDlg::keyPressEvent(QKeyEvent *event)
{
    // The company window's keys do not reach a window of its own.
    if (event->key() == Qt::Key_F7 && event->modifiers() == Qt::NoModifier)
        emit TransferAsked();
    else
        QDialog::keyPressEvent(event);
}

void CUnaffiliatedDlg::Fill()
{
    CBusyIndicator busy;
    m_pModel->Assign(RowsOf(m_shown.OfUnit(0, [&busy] { busy.Pulse(); })));
    m_bFilled = true;
}

void CUnaffiliatedDlg::SetAsOf(CShownRegister::AsOf asOf)
{
    m_shown.SetAsOf(std::move(asOf));
    setWindowTitle(CAsOfDate::Title(kTitle, m_shown.Day()));
    if (m_bFilled)
        Fill();
}

void CUnaffiliatedDlg::EnsureFilled()
{
    if (!m_bFilled)
        Fill();
}

bool CUnaffiliatedDlg::ApplyNow(const SRegisterChange &change)
{
    using EKind = SRegisterChange::EKind;
    // A past day shows what was kept then; today comes back with 今日.
    if (m_shown.IsAsOf())
        return true;
    // This program deleted a unit or read a register in: those released are the
    // ones to drag next. Told from elsewhere, an unfilled window waits to be needed.
    if (!m_bFilled && (change.kind == EKind::unitDeleted || change.kind == EKind::everything)) {
        Fill();
        return true;
    }
    Apply(CRegisterChanges(change));
    return true;
}

void CUnaffiliatedDlg::Apply(const CRegisterChanges &changes)
{
    // Not filled yet: the first filling reads everybody as the register has them.
    if (!m_bFilled || m_shown.IsAsOf())
        return;
    if (changes.IsEverything() || !changes.UnitsDeleted().isEmpty()) {
        const CRowsState state(m_pList);
        Fill();
        state.Restore(m_pList);
        return;
    }
    QList<qint32> readAgain = changes.EmployeesTouched();
    QSet<qint32> leaving = changes.EmployeesDeleted();
    const QList<std::pair<qint32, qint32>> moves = changes.EmployeesMoved();
    const QSet<qint32> listed = moves.isEmpty() ? QSet<qint32>() : m_pModel->EmployeeIds();
    for (const auto &[id, unit] : moves) {
        // Released: they take their place in code order, as the window was filled.
        if (unit != 0)
            leaving.insert(id);
        else if (!listed.contains(id))
            readAgain.append(id);
    }
    m_pModel->RemoveEmployees(leaving);
    if (!readAgain.isEmpty())
        m_pModel->FollowEmployees(readAgain, CEmployees::Rows(readAgain), CListFollower::Belongs(0),
                                  [](const CUnitContentsModel::SRow &a, const CUnitContentsModel::SRow &b) {
                                      return CRowOrder::Before(a, b, -1, Qt::AscendingOrder);
                                  });
}
