#include "employee/namesearchdlg.h"

#include "register/employeecode.h"
#include "register/namesearch.h"

#include "base/errorreport.h"
#include "forms/dialogtemplate.h"
#include "forms/readablecolors.h"

#include <QApplication>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QTreeWidget>

namespace {
const QString kTitle = QStringLiteral("名前で検索");
const QString kPrompt = QStringLiteral("名前、ふりがな、社員コードまたは電話番号を入力してください。");
const QString kMore = QStringLiteral("ほかに %1 人");
const QStringList kHeaders = {QStringLiteral("ｺｰﾄﾞ"), QStringLiteral("名前"), QStringLiteral("ふりがな"),
                              QStringLiteral("所属")};
constexpr int kIdRole = Qt::UserRole;
constexpr int kCodeSlack = 4; // pixels beside the widest code

bool IsListKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}
} // namespace

CNameSearchDlg::CNameSearchDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
    , m_pText(new QLineEdit)
    , m_pList(new QTreeWidget)
    , m_pMore(nullptr)
{
    // The one field is a plain line: the arrows belong to the list, not to moving between fields.
    m_nFieldCount = 1;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 360, 200);
    form.AddStatic(QStringLiteral("名前："), 7, 9, 30, 8);
    m_pMore = form.AddStatic(QString(), 7, 160, 200, 8);
    form.Place(m_pText, 40, 7, 160, 12);
    form.Place(m_pList, 7, 24, 346, 132);
    AddOkCancel(form, 178, 303);

    m_pText->setMaxLength(60);
    m_pText->setAccessibleName(QStringLiteral("名前"));
    m_pText->setAccessibleDescription(kPrompt);
    m_pList->setAccessibleName(QStringLiteral("見つかった社員"));
    CDialogTemplate::PairLabels(this);
    m_pText->setAttribute(Qt::WA_InputMethodEnabled);
    m_pText->installEventFilter(this);
    m_pList->setColumnCount(int(kHeaders.size()));
    m_pList->setHeaderLabels(kHeaders);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    // The field keeps the focus: typing goes on narrowing while a line is picked by mouse.
    m_pList->setFocusPolicy(Qt::NoFocus);
    // Code, name and reading in dialog units; the unit's path takes the rest.
    const QList<int> widths = {30, 85, 95};
    for (int i = 0; i < widths.size(); ++i)
        m_pList->header()->resizeSection(i, form.Units().ToPixelsX(widths.at(i)));
    // The longest code whole, with the margins the style draws its text within.
    const int margin = 2 * (m_pList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pList) + 1);
    const int code = m_pList->fontMetrics().horizontalAdvance(QString(CEmployeeCode::kDigits, QLatin1Char('0')));
    m_pList->header()->resizeSection(0, qMax(m_pList->header()->sectionSize(0), code + margin + kCodeSlack));
    m_pList->header()->setStretchLastSection(true);
    m_pMore->hide();

    connect(m_pText, &QLineEdit::textChanged, this, &CNameSearchDlg::Refill);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &CNameSearchDlg::accept);
}

CNameSearchDlg::~CNameSearchDlg() = default;

void CNameSearchDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    PutFuncKeyCaptions(PlainCaptions());
    m_pText->setFocus(Qt::OtherFocusReason);
}

void CNameSearchDlg::ShowFieldPrompt()
{
    ShowStatusText(kPrompt);
}

bool CNameSearchDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pText) {
        if (event->type() == QEvent::KeyPress && IsListKey(static_cast<QKeyEvent *>(event)->key())) {
            QApplication::sendEvent(m_pList, event);
            return true;
        }
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            // Yellow while typed in, as the forms' fields.
            m_pText->setPalette(CReadableColors::Field(m_pText->palette(), QApplication::palette(m_pText),
                                                       event->type() == QEvent::FocusIn));
        }
    }
    return CFuncKeyDialog::eventFilter(watched, event);
}

void CNameSearchDlg::Refill(const QString &text)
{
    SNameSearchResult result;
    try {
        result = CNameSearch::Find(text);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
    m_pList->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(result.matches.size());
    for (const SNameMatch &match : std::as_const(result.matches)) {
        auto *item = new QTreeWidgetItem(
            QStringList{QString::number(match.nCode), match.strName, match.strKana, match.strPath});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kIdRole, match.nID);
        items.append(item);
    }
    // All at once: the view lays them out once.
    m_pList->addTopLevelItems(items);
    if (!items.isEmpty())
        m_pList->setCurrentItem(items.first());
    m_pMore->setText(kMore.arg(result.nMore));
    m_pMore->setVisible(result.nMore > 0);
}

void CNameSearchDlg::accept()
{
    const QTreeWidgetItem *current = m_pList->currentItem();
    if (!current)
        return;
    m_nSelectedID = current->data(0, kIdRole).toInt();
    CFuncKeyDialog::accept();
}
