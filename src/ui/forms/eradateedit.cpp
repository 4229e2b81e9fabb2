#include "forms/eradateedit.h"

#include "base/accessiblenotice.h"
#include "dates/eracalendar.h"
#include "dates/eradate.h"
#include "forms/fieldowner.h"
#include "forms/readablecolors.h"
#include "forms/togglepicture.h"
#include "forms/toneservice.h"

#include <utility>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFrame>
#include <memory>

namespace {
const QColor kEraLabelColor(0, 0, 200);
constexpr int kToggleMargin = 10;
constexpr int kDateMargin = 22;
constexpr QSize kLabelSize(20, 16);

bool IsFunctionKeyForForm(int key)
{
    return key >= Qt::Key_F2 && key <= Qt::Key_F11;
}

// Keys that the field itself types as characters, as opposed to commands.
bool IsTyping(const QKeyEvent *e)
{
    if (e->key() == Qt::Key_Backspace)
        return true;
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = e->text();
    return !text.isEmpty() && text.at(0) >= QChar(0x20) && text.at(0) != QChar(0x7F);
}
} // namespace

CEraDateEdit::CEraDateEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Kept equal to the shown text after every edit; a toggle's typed value is the exception.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { m_strText = text; });
    // Dropped text would bypass the filter that typing and pasting go through.
    setAcceptDrops(false);
}

void CEraDateEdit::Setup(int nField, int nType, int nMaxLen)
{
    m_pForm = dynamic_cast<CFieldOwner *>(window());
    m_nField = nField;
    m_nMaxLen = nMaxLen;
    m_nType = nType;
    SetFocusedLook(false);
    setMaxLength(nMaxLen);

    switch (nType) {
    case FIELD_TEXT_ASCII:
    case FIELD_ANY:
        setAttribute(Qt::WA_InputMethodEnabled, true);
        break;
    case FIELD_DIGITS:
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setInputMethodHints(Qt::ImhDigitsOnly);
        break;
    case FIELD_TOGGLE:
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setTextMargins(kToggleMargin, 0, 0, 0);
        break;
    case FIELD_DATE:
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setInputMethodHints(Qt::ImhDigitsOnly);
        setTextMargins(kDateMargin, 0, 0, 0);
        break;
    default:
        return;
    }
    m_nCharMask = CCharClass::MaskForType(nType);
}

void CEraDateEdit::SetEra(int era)
{
    m_nEra = qBound(CEraCalendar::NoEra, era, CEraCalendar::MaxEra);
    update();
}

QString CEraDateEdit::EraLabel() const
{
    return CEraCalendar::EraLabel(m_nEra, m_bEraMode);
}

void CEraDateEdit::SetDate(const CDateValue &date)
{
    SetFieldText(m_bEraMode ? CEraCalendar::ToEraText(date, m_nEra) : CEraCalendar::ToWesternText(date));
    update();
}

CDateValue CEraDateEdit::GetDate() const
{
    return m_bEraMode ? CEraCalendar::FromEraText(m_strText, m_nEra) : CEraCalendar::FromWesternText(m_strText);
}

int CEraDateEdit::CheckDateText(const QString &text) const
{
    return CEraDate::CheckDateText(text, m_bEraMode, m_nEra);
}

void CEraDateEdit::SetFieldText(const QString &text)
{
    m_strText = m_nMaxLen > 0 ? text.left(m_nMaxLen) : text;
    setText(m_strText);
    update();
}

void CEraDateEdit::ClearField()
{
    selectAll();
    m_strText.clear();
    if (m_nType == FIELD_TOGGLE || m_nType == FIELD_DATE) {
        m_nEra = CEraCalendar::NoEra;
        update();
    }
    del();
}

bool CEraDateEdit::IsFocused(int &nField) const
{
    if (m_bHasFocus)
        nField = m_nField;
    return m_bHasFocus;
}

void CEraDateEdit::SetFocusedLook(bool focused)
{
    // On a dark or high-contrast desktop the palette's own colours stand in for the fixed
    // ones, and the text always stands out from the field.
    setPalette(CReadableColors::Field(palette(), QApplication::palette(this), focused));
    m_background = palette().color(QPalette::Base);
    repaint();
}

// Qt cannot switch an input method on or off; asking for Latin-only input is
// the nearest a widget can say, and a pending composition is settled first.
void CEraDateEdit::SetImeOpen(bool open)
{
    if (!testAttribute(Qt::WA_InputMethodEnabled))
        return;
    Qt::InputMethodHints hints = inputMethodHints();
    if (open) {
        hints &= ~(Qt::ImhLatinOnly | Qt::ImhPreferLatin);
    } else {
        hints |= Qt::ImhLatinOnly | Qt::ImhPreferLatin;
        if (hasFocus())
            QGuiApplication::inputMethod()->commit();
    }
    setInputMethodHints(hints);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints);
}

bool CEraDateEdit::event(QEvent *e)
{
    // Tab and the keys the form acts on must reach the field, not the dialog's
    // focus chain or a shortcut elsewhere.
    if (e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    } else if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (IsFunctionKeyForForm(key->key()) || key->key() == Qt::Key_Escape) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CEraDateEdit::keyPressEvent(QKeyEvent *e)
{
    if (!HandleKey(e)) {
        QLineEdit::keyPressEvent(e);
        if (m_nType == FIELD_DATE)
            update();
    }
    // Nothing pressed in a field reaches the form unless forwarded above.
    e->accept();
}

bool CEraDateEdit::HandleKey(QKeyEvent *e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int key = e->key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        CheckAndMoveOn();
        return true;
    case Qt::Key_Up:
        MoveFocus(false);
        return true;
    case Qt::Key_Shift:
        return true;
    case Qt::Key_Escape:
        if (m_pForm)
            m_pForm->CancelForm();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (m_nType != FIELD_DATE || !m_bEraMode)
            return false;
        // From no era either key gives 明治; the digits stay as typed.
        SetEra(key == Qt::Key_PageUp ? qMin(m_nEra + 1, int(CEraCalendar::MaxEra))
                                     : qMax(m_nEra - 1, int(CEraCalendar::MinEra)));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return m_nType == FIELD_TOGGLE;
    case Qt::Key_Insert:
        // The clipboard acts on the release, once.
        return shift || ctrl;
    case Qt::Key_Delete:
        return shift;
    default:
        break;
    }
    if (e->matches(QKeySequence::Paste)) {
        PasteText(QClipboard::Clipboard);
        return true;
    }
    if (IsFunctionKeyForForm(key)) {
        if (m_pForm)
            m_pForm->OnKeyDown(key);
        return true;
    }
    if (IsTyping(e)) {
        const QString text = key == Qt::Key_Backspace ? QStringLiteral("\b") : e->text();
        for (char32_t ch : text.toUcs4())
            TypeCharacter(ch);
        return true;
    }
    return false;
}

void CEraDateEdit::TypeCharacter(char32_t ch)
{
    if (!CCharClass::Accepts(m_nCharMask, ch, m_strText))
        return;
    if (m_nType == FIELD_TOGGLE) {
        m_strText = ch == U'0' ? QStringLiteral("0") : QStringLiteral("1");
        repaint();
        return;
    }
    if (ch == U'\b')
        backspace();
    else if (ch >= 0x20)
        insert(QString::fromUcs4(&ch, 1));
    if (m_nType == FIELD_DATE)
        update();
}

void CEraDateEdit::keyReleaseEvent(QKeyEvent *e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (e->key() == Qt::Key_Insert) {
        if (!e->isAutoRepeat()) {
            if (shift)
                PasteText(QClipboard::Clipboard);
            else if (ctrl)
                copy();
        }
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Delete) {
        if (!e->isAutoRepeat() && shift)
            cut();
        e->accept();
        return;
    }
    QLineEdit::keyReleaseEvent(e);
}

void CEraDateEdit::inputMethodEvent(QInputMethodEvent *e)
{
    const QString commit = e->commitString();
    const QString preeditBefore = std::exchange(m_strPreedit, e->preeditString());
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    if (m_nType == FIELD_TOGGLE) {
        for (char32_t ch : commit.toUcs4())
            TypeCharacter(ch);
        e->accept();
        return;
    }
    const QString kept = Filtered(commit);
    QInputMethodEvent filtered(e->preeditString(), e->attributes());
    filtered.setCommitString(kept, e->replacementStart(), e->replacementLength());
    const QString before = m_strText;
    QLineEdit::inputMethodEvent(&filtered);
    e->setAccepted(filtered.isAccepted());
    m_typedReading.Committed(before, kept, preeditBefore, m_strPreedit, m_strText);
}

// Text that arrives whole is filtered as if it had been typed one character at a time.
QString CEraDateEdit::Filtered(const QString &text) const
{
    QString before = m_strText;
    if (hasSelectedText())
        before.remove(selectionStart(), selectedText().size());
    QString kept;
    for (char32_t ch : text.toUcs4()) {
        if (ch >= 0x20 && ch != 0x7F && CCharClass::Accepts(m_nCharMask, ch, before + kept))
            kept += QString::fromUcs4(&ch, 1);
    }
    return kept;
}

void CEraDateEdit::PasteText(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (m_nType == FIELD_TOGGLE) {
        for (char32_t ch : text.toUcs4())
            TypeCharacter(ch);
        return;
    }
    insert(Filtered(text));
    if (m_nType == FIELD_DATE)
        update();
}

void CEraDateEdit::contextMenuEvent(QContextMenuEvent *e)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { PasteText(QClipboard::Clipboard); });
    }
    menu->exec(e->globalPos());
}

void CEraDateEdit::mouseReleaseEvent(QMouseEvent *e)
{
    // The middle button pastes the selection where X11 has one.
    if (e->button() == Qt::MiddleButton) {
        if (QGuiApplication::clipboard()->supportsSelection()) {
            deselect();
            setCursorPosition(cursorPositionAt(e->position().toPoint()));
            PasteText(QClipboard::Selection);
        }
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void CEraDateEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    m_bHasFocus = true;
    selectAll();
    SetFocusedLook(true);
    SetImeOpen((m_nCharMask & CCharClass::ClassWide) != 0);
    if (m_pForm && m_nField > 0)
        m_pForm->OnFieldFocus(m_nField);
}

void CEraDateEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    m_bHasFocus = false;
    SetFocusedLook(false);
    if (m_nCharMask & CCharClass::ClassWide)
        SetImeOpen(false);
}

void CEraDateEdit::CheckAndMoveOn()
{
    if (m_pForm && m_pForm->ValidateField(m_nField, this) != 0) {
        CToneService::Play(CToneService::Tone::Rejected);
        return;
    }
    MoveFocus(true);
    CToneService::Play(CToneService::Tone::Accepted);
}

// The dialog's control order without wrapping: the first control has no
// previous one and the last no next one.
bool CEraDateEdit::MoveFocus(bool next)
{
    QWidget *const top = window();
    for (QWidget *w = next ? nextInFocusChain() : previousInFocusChain(); w && w != top && w != this;
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if (w->window() == top && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(top)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void CEraDateEdit::SetMarked(bool marked, const QString &reason)
{
    // The red frame is told in words too: the reason while it stands, then the prompt again.
    const QString description = marked ? QStringLiteral("誤り: %1").arg(reason) : toolTip();
    if (accessibleDescription() != description) {
        setAccessibleDescription(description);
        CAccessibleNotice::Tell(this, QAccessible::DescriptionChanged);
    }
    if (m_bMarked == marked)
        return;
    m_bMarked = marked;
    update();
}

void CEraDateEdit::paintEvent(QPaintEvent *e)
{
    if (m_nType == FIELD_TOGGLE)
        PaintToggle();
    else
        QLineEdit::paintEvent(e);
    if (m_nType == FIELD_DATE)
        PaintEraLabel();
    if (m_bMarked) {
        QPainter p(this);
        p.setPen(QPen(QColor(220, 0, 0), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    } else if (const QPalette desktop = QApplication::palette(this); CReadableColors::DarkPalette(desktop)) {
        // The style draws a field's frame darker than the window: on a dark one, nothing shows.
        QPainter p(this);
        p.setPen(desktop.color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

QRect CEraDateEdit::InnerRect() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
}

void CEraDateEdit::PaintToggle()
{
    QPainter p(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, this);
    const QRect inner = InnerRect();
    p.fillRect(inner, m_background);
    const int top = inner.top() + qMax(0, (inner.height() - 16) / 2);
    p.drawPixmap(inner.left() + kToggleMargin, top, CTogglePicture::Get(ToggleIsOn()));
}

void CEraDateEdit::PaintEraLabel()
{
    QPainter p(this);
    const QRect box(InnerRect().topLeft(), kLabelSize);
    p.setClipRect(box);
    p.fillRect(box, m_background);
    QFont font(QStringLiteral("ＭＳゴシック"));
    font.setPixelSize(10);
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    p.setFont(font);
    p.setPen(CReadableColors::TextOn(m_background, kEraLabelColor));
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, EraLabel());
}
