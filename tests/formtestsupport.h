#pragma once
// Stand-ins and helpers shared by the form tests: the main window's services,
// the tone speaker, and typing as a person types.

#include "app/frameservices.h"
#include "forms/funckeydialog.h"
#include "forms/toneservice.h"

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QTest>
#include <QWidget>

// The main window as forms see it; a company window may be open behind the form.
class CFakeFrame final : public CFrameServices
{
public:
    explicit CFakeFrame(bool companyWindow = true)
        : m_bCompanyWindow(companyWindow)
    {
        m_captions = PlainSet();
        Register(this);
    }
    ~CFakeFrame() override { Register(nullptr); }

    static QStringList PlainSet() { return CFuncKeyDialog::PlainCaptions(); }
    static QStringList CompanySet()
    {
        QStringList set = PlainSet();
        set[7] = QStringLiteral("検索");
        return set;
    }

    void SetStatusText(const QString &text) override
    {
        m_status = text;
        ++m_nStatusCount;
    }
    void SetFuncKeyCaption(int slot, const QString &text) override { m_captions[slot] = text; }
    void ResetFuncKeyCaptions() override
    {
        ++m_nResetCount;
        m_captions = m_bCompanyWindow ? CompanySet() : PlainSet();
    }
    void SetBusyAnimation(bool) override {}

    bool m_bCompanyWindow;
    QString m_status;
    int m_nStatusCount = 0;
    int m_nResetCount = 0;
    QStringList m_captions;
};

// Hears the tones instead of the speaker.
class CToneRecorder final
{
public:
    CToneRecorder()
    {
        CToneService::SetObserver([this](CToneService::Tone tone) { m_tones << tone; });
    }
    ~CToneRecorder() { CToneService::SetObserver({}); }
    CToneService::Tone Last() const { return m_tones.isEmpty() ? CToneService::Tone::Accepted : m_tones.last(); }

    QList<CToneService::Tone> m_tones;
};

// Types into the focused widget, or into w when given; Japanese text goes as
// key events carrying the character, as an input method would hand it over.
inline void TypeText(const QString &text, QWidget *w = nullptr)
{
    for (const QChar ch : text) {
        QWidget *target = w ? w : QApplication::focusWidget();
        if (!target)
            return;
        if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F)
            QTest::keyClick(target, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (QWidget *target = QApplication::focusWidget())
        QTest::keyClick(target, key, modifiers);
}
