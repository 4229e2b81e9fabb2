#pragma once
// Stand-ins for the form tests: the main window's services and the speaker,
// and typing into the focused widget as a person types.

#include "base/frameservices.h"
#include "forms/funckeydialog.h"
#include "forms/toneservice.h"

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QTest>

// The main window with a company window open behind the form.
class CFakeFrame final : public CFrameServices
{
public:
    CFakeFrame() { Register(this); }
    ~CFakeFrame() override { Register(nullptr); }

    static QStringList CompanySet()
    {
        QStringList set = CFuncKeyDialog::PlainCaptions();
        set[7] = QStringLiteral("検索");
        return set;
    }
    void SetStatusText(const QString &text) override { m_status = text, ++m_nStatusCount; }
    QString GetStatusText() const override { return m_status; }
    void SetFuncKeyCaption(int slot, const QString &text) override { m_captions[slot] = text; }
    void ResetFuncKeyCaptions() override { m_captions = CompanySet(), ++m_nResetCount; }
    void SetBusyAnimation(bool) override {}

    QString m_status;
    int m_nStatusCount = 0;
    int m_nResetCount = 0;
    QStringList m_captions = CompanySet();
};

class CToneRecorder final
{
public:
    CToneRecorder()
    {
        CToneService::SetObserver([this](CToneService::Tone tone) { m_tones << tone; });
    }
    ~CToneRecorder() { CToneService::SetObserver({}); }
    QList<CToneService::Tone> m_tones;
};

// Japanese goes as key events carrying the character, as an input method hands it over.
inline void TypeText(const QString &text, QWidget *w = nullptr)
{
    for (const QChar ch : text) {
        QWidget *target = w ? w : QApplication::focusWidget();
        if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F)
            QTest::keyClick(target, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
