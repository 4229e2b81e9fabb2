#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class CCsvColumnMap;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The import's preview: each column of the files with the register field it is
// read into (or "取り込まない"), which the user may change, and what the import
// will add, update, refuse and warn of. The caller plans again on Changed().
class CCsvPreviewDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCsvPreviewDlg)

public:
    explicit CCsvPreviewDlg(const QString &title, QWidget *parent = nullptr);

    // One line per header of file; columns: the field each is read into, -1 for none.
    void AddColumns(const QString &file, bool units, const QStringList &headers, const QList<int> &columns);
    // offerCreate shows the choice of making missing units and where departments named alone go.
    void ShowSummary(const QString &text, bool canImport, bool offerCreate);
    // The register's companies, offered for new departments; any other name may be typed.
    void SetCompanies(const QStringList &names);
    // Every line's choice, "取り込まない" included.
    CCsvColumnMap Map() const;
    // The choices of file's lines, in header order.
    QStringList Choices(const QString &file) const;
    bool CreateUnits() const;
    QString Company() const;
    bool RestoreZeros() const;
    // A fill that cannot be made is offered off, with why as its tool tip: empty reason when it can.
    void OfferFills(bool addresses, const QString &noAddresses, bool readings, const QString &noReadings);
    bool FillAddresses() const;
    bool FillReadings() const;

    QComboBox *Choice(int line) const;
    QCheckBox *CreateBox() const { return m_pCreate; }
    QComboBox *CompanyBox() const { return m_pCompany; }
    QCheckBox *ZerosBox() const { return m_pZeros; }
    QCheckBox *AddressesBox() const { return m_pAddresses; }
    QCheckBox *ReadingsBox() const { return m_pReadings; }
    QPlainTextEdit *SummaryView() const { return m_pSummary; }
    QPushButton *ImportButton() const { return m_pImport; }

signals:
    void Changed();

private:
    // Plans again once a typed company is done with, not at every key.
    void CompanyChosen();

    struct SLine {
        QString file;
        QString header;
    };
    QTableWidget *m_pColumns;
    QPlainTextEdit *m_pSummary;
    QCheckBox *m_pCreate;
    QLabel *m_pCompanyLabel;
    QComboBox *m_pCompany;
    QCheckBox *m_pZeros;
    QCheckBox *m_pAddresses;
    QCheckBox *m_pReadings;
    QPushButton *m_pImport;
    QString m_plannedCompany;
    QList<SLine> m_lines;
};
