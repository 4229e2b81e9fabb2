#pragma once

#include "chart/staffsnapshot.h"
#include "chart/stafffigures.h"

#include <QList>
#include <QWidget>
#include <functional>

class CFigureView;
class QDateEdit;
class QLabel;
class QPushButton;
class QTabWidget;

// 人員構成: the staff figures of a unit as of the snapshot's day, a tab each, saved
// as pictures, pages or numbers, and printed a figure a page. Deletes itself when closed.
class CStaffFiguresWnd final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CStaffFiguresWnd)

public:
    CStaffFiguresWnd(CStaffSnapshot snapshot, qint32 unitId, QWidget *parent);
    ~CStaffFiguresWnd() override;

    QTabWidget *Tabs() const { return m_pTabs; }
    CFigureView *View(int index) const { return m_views.value(index); }
    QDateEdit *FirstMonth() const { return m_pFirst; }
    QDateEdit *LastMonth() const { return m_pLast; }
    // What the last save said, also for a screen reader.
    QString Status() const;

    void SavePng();
    void SavePdf();
    void SaveCsv();
    void SaveXlsx();
    void Print();
    // Today's figures are counted again after the register was written, here or elsewhere.
    void Reload();

private:
    QWidget *MonthEndsPage(CFigureView *view);
    void ShowMonthEnds();
    const SFigureTable &Current() const;
    QList<SFigureTable> Tables() const;
    QString ChooseFile(const QString &title, const QString &filter, const QString &suffix);
    // Writes through write to a file the user chose; says how it went.
    void Save(const QString &title, const QString &filter, const QString &suffix,
              const std::function<bool(const QString &, QString &)> &write);

    CStaffSnapshot m_snapshot;
    qint32 m_nUnit = 0;
    CStaffFigures m_figures;
    QTabWidget *m_pTabs = nullptr;
    QList<CFigureView *> m_views;
    QDateEdit *m_pFirst = nullptr;
    QDateEdit *m_pLast = nullptr;
    QLabel *m_pStatus = nullptr;
};
