#pragma once

#include <QDialog>

// The program's name and version.
class CAboutDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
