#pragma once

#include "backup/databasebackup.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;

// Lists every copy of the register the program made, newest first, with its kind,
// date and what it holds; a damaged register kept aside is shown but cannot be
// chosen. "ファイルを選択..." takes any register file that passes the check instead.
class CRestoreDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRestoreDlg)

public:
    CRestoreDlg(const QList<SBackupInfo> &copies, QWidget *parent = nullptr);

    void SelectRow(int row);
    // The chosen copy; an empty path when none is chosen.
    SBackupInfo Chosen() const;
    // Takes the file as the user's choice when it can be restored, and closes; tells why not otherwise.
    bool ChooseFile(const QString &path);
    QPushButton *FileButton() const { return m_pFile; }
    const QList<SBackupInfo> &Copies() const { return m_copies; }

    static QString DateText(const QDateTime &taken);
    static QString KindText(SBackupInfo::EKind kind);

private:
    void OnChooseFile();

    QList<SBackupInfo> m_copies;
    SBackupInfo m_picked; // from ファイルを選択...
    QTreeWidget *m_pList;
    QPushButton *m_pFile;
};
