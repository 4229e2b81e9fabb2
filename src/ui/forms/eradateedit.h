#pragma once

#include "forms/charclass.h"
#include "dates/datevalue.h"

#include <QClipboard>
#include <QColor>
#include "kana/imereading.h"

#include <QLineEdit>
#include <QString>

class CFieldOwner;
class QFocusEvent;
class QContextMenuEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// The one-line entry field of the keyboard forms: free text, digits, a 0/1 toggle
// shown as a picture, or a six-digit date read in the era shown at its left.
// It filters what may be typed, turns yellow while focused, and leaves itself on
// Enter, Tab and Down only when its form agrees.
class CEraDateEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEraDateEdit)

public:
    explicit CEraDateEdit(QWidget *parent = nullptr);

    // The form is the dialog this field sits in; nType is an EFieldType.
    void Setup(int nField, int nType, int nMaxLen);

    // Date fields. Era mode is chosen before Setup.
    void SetEraMode(bool eraMode) { m_bEraMode = eraMode; }
    bool IsEraMode() const { return m_bEraMode; }
    int Era() const { return m_nEra; }
    void SetEra(int era);
    QString EraLabel() const;
    // A date before the first era leaves an era-mode field empty and its era as it was.
    void SetDate(const CDateValue &date);
    CDateValue GetDate() const;
    int CheckDateText(const QString &text) const;

    void SetFieldText(const QString &text);
    QString GetFieldText() const { return m_strText; }
    void ClearField();

    // True while focused; then nField is this field's number.
    bool IsFocused(int &nField) const;
    // Yellow while typed in, white otherwise; the palette's own on a dark desktop.
    void SetFocusedLook(bool focused);
    // A refused field carries a red frame until it is accepted or emptied; reason is
    // what a screen reader is told of it.
    void SetMarked(bool marked, const QString &reason = {});
    bool IsMarked() const { return m_bMarked; }
    QColor BackColor() const { return m_background; }
    void SetImeOpen(bool open);

    // What was typed through an input method before it was converted, in hiragana,
    // while it is still the reading of the text; empty otherwise.
    QString TypedReading() const { return m_typedReading.For(m_strText); }

    int FieldNumber() const { return m_nField; }
    int FieldType() const { return m_nType; }
    quint16 CharMask() const { return m_nCharMask; }
    bool ToggleIsOn() const { return m_strText.toInt() > 0; }

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    bool HandleKey(QKeyEvent *e);
    void TypeCharacter(char32_t ch);
    QString Filtered(const QString &text) const;
    // Pastes through the same filter as typing.
    void PasteText(QClipboard::Mode mode);
    void CheckAndMoveOn();
    bool MoveFocus(bool next);
    void PaintToggle();
    void PaintEraLabel();
    QRect InnerRect() const;

    CFieldOwner *m_pForm = nullptr;
    int m_nField = 0;
    int m_nType = 0;
    int m_nMaxLen = 0;
    bool m_bHasFocus = false;
    bool m_bEraMode = false;
    bool m_bMarked = false;
    int m_nEra = 0;
    quint16 m_nCharMask = 0;
    QString m_strText;
    QString m_strPreedit; // the input method's text not yet committed
    CImeReading m_typedReading;
    QColor m_background = Qt::white;
};
