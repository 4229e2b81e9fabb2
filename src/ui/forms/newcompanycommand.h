#pragma once

class QWidget;

// The "新規会社作成" command (32771): runs the company form and writes what it
// was given. A code that names an existing company corrects that company; a new
// code adds a company row.
class CNewCompanyCommand final
{
public:
    // True when a row was written; the register tells the windows of it.
    static bool Run(QWidget *parent);
};
