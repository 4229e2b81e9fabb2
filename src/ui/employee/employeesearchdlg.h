#pragma once

#include "forms/funckeydialog.h"

#include <memory>

class CSearchListBox;
class CSearchPager;

// Lists employees in code order a page at a time, a list above the paging hint and
// OK and ｷｬﾝｾﾙ; F2 and F3 turn
// the pages, OK gives the ID of the chosen line. The caller gives the code to
// start at; the pages are read from the register as they are turned.
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

    qint32 m_nStartCode = 0;
    qint32 m_nSelectedID = -1; // -1 when no line was chosen
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
