#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class CCsvColumnMap;
class QCheckBox;
class QComboBox;
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
    void ShowSummary(const QString &text, bool canImport, bool offerCreate);
    // Every line's choice, "取り込まない" included.
    CCsvColumnMap Map() const;
    // The choices of file's lines, in header order.
    QStringList Choices(const QString &file) const;
    bool CreateUnits() const;

    QComboBox *Choice(int line) const;
    QCheckBox *CreateBox() const { return m_pCreate; }
    QPlainTextEdit *SummaryView() const { return m_pSummary; }
    QPushButton *ImportButton() const { return m_pImport; }

signals:
    void Changed();

private:
    struct SLine {
        QString file;
        QString header;
    };
    QTableWidget *m_pColumns;
    QPlainTextEdit *m_pSummary;
    QCheckBox *m_pCreate;
    QPushButton *m_pImport;
    QList<SLine> m_lines;
};
