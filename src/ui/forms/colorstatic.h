#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

class QPaintEvent;

// A caption that paints itself completely in its own colours: the function-key
// cells and the mode caption of the entry forms.
class CColorStatic final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CColorStatic)

public:
    explicit CColorStatic(const QString &text = {}, QWidget *parent = nullptr);

    void SetColors(const QColor &text, const QColor &background);
    void SetWindowText(const QString &text);
    // What a screen reader says before the text ("F7" for "F7 削除"); the name follows
    // the text and is announced when it changes.
    void SetAccessiblePrefix(const QString &prefix);
    const QString &GetWindowText() const { return m_strText; }
    const QColor &GetTextColor() const { return m_crText; }
    const QColor &GetBackColor() const { return m_crBack; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont CaptionFont() const;
    void TellName();

    QString m_strText;
    QString m_strPrefix;
    QColor m_crText = Qt::black;
    QColor m_crBack = Qt::white;
};
