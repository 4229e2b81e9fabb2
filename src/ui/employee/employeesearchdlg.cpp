#include "employee/employeesearchdlg.h"

#include "employee/searchlistbox.h"
#include "register/searchpager.h"

#include "forms/dialogtemplate.h"
#include "forms/funckeycaptions.h"

#include <QListWidgetItem>

namespace {
const QString kTitle = QStringLiteral("社員検索");
const QString kPrompt = QStringLiteral("社員を選んでください。");
const QString kPagingHint = QStringLiteral("F2、F3でページ切替できます。");
constexpr int kIdRole = Qt::UserRole;
} // namespace

CEmployeeSearchDlg::CEmployeeSearchDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
    , m_pList(new CSearchListBox)
{
    // One field is declared but none is made: the list takes the keys instead.
    m_nFieldCount = 1;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 171, 137);
    form.AddStatic(kPagingHint, 7, 101, 157, 8);
    form.Place(m_pList, 7, 7, 157, 85);
    m_pList->setAccessibleName(QStringLiteral("社員一覧"));
    AddOkCancel(form, 116, 114);
}

CEmployeeSearchDlg::~CEmployeeSearchDlg() = default;

void CEmployeeSearchDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    const CFuncKeyCaptions::Set captions = CFuncKeyCaptions::EmployeeSearch();
    PutFuncKeyCaptions(QStringList(captions.begin(), captions.end()));
    ShowFieldPrompt();
    m_pPager = std::make_unique<CSearchPager>(m_nPageSize);
    FillPage();
}

void CEmployeeSearchDlg::ShowFieldPrompt()
{
    ShowStatusText(kPrompt);
}

void CEmployeeSearchDlg::FillPage()
{
    if (!m_pPager)
        return;
    m_pPager->FillPage(m_nStartCode);
    ShowLines();
}

void CEmployeeSearchDlg::OnF3()
{
    if (m_pPager && m_pPager->NextPage())
        ShowLines();
}

void CEmployeeSearchDlg::OnF2()
{
    if (m_pPager && m_pPager->PrevPage()) {
        m_nStartCode = m_pPager->StartCode();
        ShowLines();
    }
}

// Lines stay in the order the pager gives them, which is code order however many
// digits the codes have; sorting the text would put 10000 before 2000.
void CEmployeeSearchDlg::ShowLines()
{
    m_pList->clear();
    for (const SSearchLine &line : m_pPager->Lines()) {
        auto *item = new QListWidgetItem(line.strText, m_pList);
        item->setData(kIdRole, line.nID);
    }
    if (m_pList->count() > 0)
        m_pList->setCurrentRow(0);
}

void CEmployeeSearchDlg::accept()
{
    const QList<QListWidgetItem *> selected = m_pList->selectedItems();
    m_nSelectedID = selected.isEmpty() ? -1 : selected.first()->data(kIdRole).toInt();
    CFuncKeyDialog::accept();
}
