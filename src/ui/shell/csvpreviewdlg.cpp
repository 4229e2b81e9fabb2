#include "shell/csvpreviewdlg.h"

#include "forms/dialogtemplate.h"

#include "csv/csvcolumnmap.h"
#include "csv/csvcolumns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CCsvPreviewDlg::CCsvPreviewDlg(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_pColumns(new QTableWidget(0, 3, this))
    , m_pSummary(new QPlainTextEdit(this))
    , m_pCreate(new QCheckBox(QStringLiteral("ない部課を作る"), this))
    , m_pCompanyLabel(new QLabel(QStringLiteral("新しい部課を置く会社:"), this))
    , m_pCompany(new QComboBox(this))
    , m_pZeros(new QCheckBox(QStringLiteral("先頭の 0 を補う（〒 6 桁、0 で始まらない TEL・FAX 9〜10 桁）"), this))
    , m_pAddresses(new QCheckBox(QStringLiteral("住所を補う（空の住所1を〒から）"), this))
    , m_pReadings(new QCheckBox(QStringLiteral("ふりがなを補う（空のふりがなを氏名から）"), this))
{
    setWindowTitle(title);
    m_pColumns->setHorizontalHeaderLabels(
        {QStringLiteral("ファイル"), QStringLiteral("ファイルの見出し"), QStringLiteral("読み込む列")});
    m_pColumns->verticalHeader()->hide();
    m_pColumns->horizontalHeader()->setStretchLastSection(true);
    m_pColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pSummary->setReadOnly(true);
    m_pSummary->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pCreate->hide();
    connect(m_pCreate, &QCheckBox::toggled, this, &CCsvPreviewDlg::Changed);
    // A list from another system names departments alone; they go under this company,
    // which is made when it is not there.
    m_pCompany->setEditable(true);
    m_pCompany->setInsertPolicy(QComboBox::NoInsert);
    m_pCompany->lineEdit()->setPlaceholderText(QStringLiteral("会社名（なければ作ります）"));
    m_pCompany->setAccessibleName(CDialogTemplate::LabelName(m_pCompanyLabel->text()));
    m_pCompany->lineEdit()->setAccessibleName(m_pCompany->accessibleName());
    m_pCompanyLabel->setBuddy(m_pCompany);
    connect(m_pCompany, &QComboBox::activated, this, &CCsvPreviewDlg::CompanyChosen);
    connect(m_pCompany->lineEdit(), &QLineEdit::editingFinished, this, &CCsvPreviewDlg::CompanyChosen);
    m_pCompanyLabel->hide();
    m_pCompany->hide();
    // Spreadsheets turn 0600001 into 600001: put back by default, each one listed.
    m_pZeros->setChecked(true);
    connect(m_pZeros, &QCheckBox::toggled, this, &CCsvPreviewDlg::Changed);
    connect(m_pAddresses, &QCheckBox::toggled, this, &CCsvPreviewDlg::Changed);
    connect(m_pReadings, &QCheckBox::toggled, this, &CCsvPreviewDlg::Changed);

    auto *buttons = new QDialogButtonBox(this);
    m_pImport = buttons->addButton(QStringLiteral("読み込む"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    auto *columnsLabel = new QLabel(QStringLiteral("列の対応（読み込まない列は「%1」）:").arg(CCsvColumnMap::SkipText()),
                                    this);
    layout->addWidget(columnsLabel);
    layout->addWidget(m_pColumns, 2);
    auto *summaryLabel = new QLabel(QStringLiteral("読み込む内容:"), this);
    layout->addWidget(summaryLabel);
    layout->addWidget(m_pSummary, 3);
    m_pColumns->setAccessibleName(CDialogTemplate::LabelName(columnsLabel->text()));
    columnsLabel->setBuddy(m_pColumns);
    m_pSummary->setAccessibleName(CDialogTemplate::LabelName(summaryLabel->text()));
    summaryLabel->setBuddy(m_pSummary);
    auto *units = new QHBoxLayout;
    units->addWidget(m_pCreate);
    units->addSpacing(16);
    units->addWidget(m_pCompanyLabel);
    units->addWidget(m_pCompany, 1);
    layout->addLayout(units);
    layout->addWidget(m_pZeros);
    auto *fills = new QHBoxLayout;
    fills->addWidget(m_pAddresses);
    fills->addSpacing(16);
    fills->addWidget(m_pReadings);
    fills->addStretch(1);
    layout->addLayout(fills);
    layout->addWidget(buttons);
    resize(640, 560);
}

void CCsvPreviewDlg::AddColumns(const QString &file, bool units, const QStringList &headers, const QList<int> &columns)
{
    const QStringList &fields = units ? CCsvColumns::UnitHeaders() : CCsvColumns::EmployeeHeaders();
    for (qsizetype i = 0; i < headers.size(); ++i) {
        const int line = m_pColumns->rowCount();
        m_pColumns->insertRow(line);
        m_pColumns->setItem(line, 0, new QTableWidgetItem(file));
        m_pColumns->setItem(line, 1, new QTableWidgetItem(headers.at(i)));
        auto *choice = new QComboBox(m_pColumns);
        choice->addItem(CCsvColumnMap::SkipText());
        choice->addItems(fields);
        choice->setCurrentIndex(columns.value(i, -1) + 1);
        connect(choice, &QComboBox::currentIndexChanged, this, &CCsvPreviewDlg::Changed);
        m_pColumns->setCellWidget(line, 2, choice);
        m_lines.append({file, headers.at(i)});
    }
    m_pColumns->resizeColumnsToContents();
}

void CCsvPreviewDlg::ShowSummary(const QString &text, bool canImport, bool offerCreate)
{
    m_pSummary->setPlainText(text);
    m_pImport->setEnabled(canImport);
    const bool offered = offerCreate || m_pCreate->isChecked() || !Company().isEmpty();
    m_pCreate->setVisible(offered);
    m_pCompanyLabel->setVisible(offered);
    m_pCompany->setVisible(offered);
}

void CCsvPreviewDlg::SetCompanies(const QStringList &names)
{
    const QString typed = m_pCompany->currentText();
    const QSignalBlocker quiet(m_pCompany);
    m_pCompany->clear();
    m_pCompany->addItems(names);
    m_pCompany->setCurrentIndex(-1);
    m_pCompany->setEditText(typed);
}

void CCsvPreviewDlg::CompanyChosen()
{
    if (Company() == m_plannedCompany)
        return;
    m_plannedCompany = Company();
    emit Changed();
}

QComboBox *CCsvPreviewDlg::Choice(int line) const
{
    return qobject_cast<QComboBox *>(m_pColumns->cellWidget(line, 2));
}

CCsvColumnMap CCsvPreviewDlg::Map() const
{
    CCsvColumnMap map;
    for (int line = 0; line < m_lines.size(); ++line)
        map.Set(m_lines.at(line).file, m_lines.at(line).header, Choice(line)->currentText());
    return map;
}

QStringList CCsvPreviewDlg::Choices(const QString &file) const
{
    QStringList choices;
    for (int line = 0; line < m_lines.size(); ++line)
        if (m_lines.at(line).file == file)
            choices << Choice(line)->currentText();
    return choices;
}

bool CCsvPreviewDlg::CreateUnits() const
{
    return m_pCreate->isChecked();
}

QString CCsvPreviewDlg::Company() const
{
    return m_pCompany->currentText().trimmed();
}

bool CCsvPreviewDlg::RestoreZeros() const
{
    return m_pZeros->isChecked();
}

void CCsvPreviewDlg::OfferFills(bool addresses, const QString &noAddresses, bool readings, const QString &noReadings)
{
    const QSignalBlocker quietAddresses(m_pAddresses);
    const QSignalBlocker quietReadings(m_pReadings);
    m_pAddresses->setChecked(addresses && noAddresses.isEmpty());
    m_pAddresses->setEnabled(noAddresses.isEmpty());
    m_pAddresses->setToolTip(noAddresses);
    m_pReadings->setChecked(readings && noReadings.isEmpty());
    m_pReadings->setEnabled(noReadings.isEmpty());
    m_pReadings->setToolTip(noReadings);
}

bool CCsvPreviewDlg::FillAddresses() const
{
    return m_pAddresses->isEnabled() && m_pAddresses->isChecked();
}

bool CCsvPreviewDlg::FillReadings() const
{
    return m_pReadings->isEnabled() && m_pReadings->isChecked();
}
