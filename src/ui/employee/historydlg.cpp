#include "employee/historydlg.h"

#include "base/frameservices.h"
#include "forms/asofdate.h"
#include "forms/dialogunits.h"
#include "forms/funckeycaptions.h"
#include "register/history.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("変更履歴 - %1");
const QString kNone = QStringLiteral("変更履歴はありません。");
const QString kWhenFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
const QStringList kHeaders = {QStringLiteral("日時"),  QStringLiteral("適用日"), QStringLiteral("変更者"),
                              QStringLiteral("内容"),  QStringLiteral("項目"),   QStringLiteral("変更前"),
                              QStringLiteral("変更後")};
// Widths in average characters of the dialog font (a kanji takes about two).
constexpr int kWidths[] = {25, 17, 12, 10, 12, 30, 30};
constexpr int kHeightChars = 24;
} // namespace

CHistoryDlg::CHistoryDlg(qint32 employeeId, const QString &who, QWidget *parent)
    : QDialog(parent)
    , m_nEmployeeID(employeeId)
    , m_pList(new QTreeWidget(this))
    , m_pNone(new QLabel(kNone, this))
{
    setWindowTitle(kTitle.arg(who));
    setFont(CDialogUnits::DialogFont());
    m_pList->setAccessibleName(QStringLiteral("変更履歴"));
    m_pList->setHeaderLabels(kHeaders);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setAlternatingRowColors(true);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setWordWrap(false);
    m_pList->setTextElideMode(Qt::ElideMiddle);
    const int character = QFontMetrics(font()).averageCharWidth();
    int width = 0;
    for (int column = 0; column < colCount; ++column) {
        m_pList->setColumnWidth(column, kWidths[column] * character);
        width += kWidths[column] * character;
    }
    m_pNone->hide();

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    close->setFocusPolicy(Qt::TabFocus);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addWidget(m_pNone);
    layout->addWidget(buttons);
    resize(width + 4 * character, kHeightChars * QFontMetrics(font()).height());
}

QStringList CHistoryDlg::RowTexts(const SHistoryEntry &entry)
{
    QStringList texts(colCount);
    texts[colWhen] = entry.when.toString(kWhenFormat);
    texts[colEffective] = entry.effective.isValid() ? CAsOfDate::EraText(entry.effective) : QString();
    texts[colWho] = entry.strWho;
    texts[colWhat] = entry.WhatText();
    texts[colField] = entry.FieldText();
    texts[colOld] = entry.strOld;
    texts[colNew] = entry.strNew;
    return texts;
}

void CHistoryDlg::showEvent(QShowEvent *event)
{
    if (!m_bFilled && !event->spontaneous()) {
        m_bFilled = true;
        Fill();
        // The plain set: this dialog has no function keys of its own.
        if (CFrameServices *services = CFrameServices::Instance()) {
            const CFuncKeyCaptions::Set plain = CFuncKeyCaptions::Plain();
            for (int i = 0; i < int(plain.size()); ++i)
                services->SetFuncKeyCaption(i, plain[i]);
        }
    }
    QDialog::showEvent(event);
}

void CHistoryDlg::Fill()
{
    QList<QTreeWidgetItem *> items;
    for (const SHistoryEntry &entry : CHistory::OfEmployee(m_nEmployeeID)) {
        auto *item = new QTreeWidgetItem(RowTexts(entry));
        // A value cut short in its cell is read whole from the tip.
        for (int column : {colOld, colNew})
            item->setToolTip(column, item->text(column));
        items.append(item);
    }
    m_pList->addTopLevelItems(items);
    // Who made a change may be another program with its database user: read whole.
    const int least = m_pList->columnWidth(colWho);
    m_pList->resizeColumnToContents(colWho);
    const int grown = m_pList->columnWidth(colWho) - least;
    if (grown > 0)
        resize(width() + grown, height());
    else
        m_pList->setColumnWidth(colWho, least);
    m_pNone->setVisible(items.isEmpty());
    if (!items.isEmpty())
        m_pList->setCurrentItem(items.first());
    m_pList->setFocus(Qt::OtherFocusReason);
}
