#pragma once

#include <QListWidget>

class QKeyEvent;

// The list of the employee search: Delete and F2..F11 go to the form it sits in,
// as a field forwards them; every other key is the list's own.
class CSearchListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSearchListBox)

public:
    explicit CSearchListBox(QWidget *parent = nullptr);

    static bool IsKeyForForm(int nKey);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
