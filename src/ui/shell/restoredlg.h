#pragma once

#include "backup/databasebackup.h"

#include <QDialog>
#include <QList>

class QTreeWidget;

// Lists the sound backups of the database, newest first, with their date and
// what they hold; the user picks one.
class CRestoreDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRestoreDlg)

public:
    CRestoreDlg(const QList<SBackupInfo> &backups, QWidget *parent = nullptr);

    void SelectRow(int row);
    // The chosen backup; an empty path when none is chosen.
    SBackupInfo Chosen() const;

    static QString DateText(const QDateTime &taken);

private:
    QList<SBackupInfo> m_backups;
    QTreeWidget *m_pList;
};
