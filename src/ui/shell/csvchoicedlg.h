#pragma once

#include <QDialog>
#include <QString>

class QRadioButton;

// One question with two answers, the first chosen: the encoding of an export, or
// what an import does with employees already in the register.
class CCsvChoiceDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCsvChoiceDlg)

public:
    CCsvChoiceDlg(const QString &title, const QString &question, const QString &first, const QString &second,
                  QWidget *parent = nullptr);

    bool IsSecondChosen() const;
    QRadioButton *Choice(int index) const { return index == 0 ? m_pFirst : m_pSecond; }

private:
    QRadioButton *m_pFirst;
    QRadioButton *m_pSecond;
};
