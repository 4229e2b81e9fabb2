#pragma once

#include "forms/funckeydialog.h"

#include <memory>

class CMast01;
class CSearchListBox;
class CSearchPager;

// Lists employees in code order a page at a time (template 143); F2 and F3 turn
// the pages, OK gives the ID of the chosen line. The caller hands over its open
// set sorted by code and the code to start at; the set's current row moves.
class CEmployeeSearchDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEmployeeSearchDlg)

public:
    explicit CEmployeeSearchDlg(QWidget *parent = nullptr);
    ~CEmployeeSearchDlg() override;

    // OK, or Enter in the list through the default button.
    void accept() override;

    CSearchListBox *GetList() const { return m_pList; }

    CMast01 *m_pRecordset = nullptr;   // not owned
    qint32 m_nStartCode = 0;
    qint32 m_nSelectedID = -1;         // -1 when no line was chosen
    int m_nPageSize = 10;

protected:
    void OnInitDialog() override;
    void ShowFieldPrompt() override;
    void OnF2() override;
    void OnF3() override;

    void FillPage();

private:
    void ShowLines();

    CSearchListBox *m_pList;
    std::unique_ptr<CSearchPager> m_pPager;
};
