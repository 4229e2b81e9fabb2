#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;

// A short list of addresses, or of codes with their addresses, to choose one from.
class CPostalChoiceDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPostalChoiceDlg)

public:
    CPostalChoiceDlg(const QString &title, const QString &question, const QStringList &items, QWidget *parent = nullptr);

    // The row chosen; -1 for none.
    int Chosen() const;
    QListWidget *List() const { return m_pList; }

private:
    QListWidget *m_pList;
};
