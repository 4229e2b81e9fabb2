#pragma once

#include <QString>

// What forms and views ask of the main window: a status text, the function-key
// captions and the busy animation. The main window registers itself; tests may
// register a stand-in. Callers check for none.
class CFrameServices
{
public:
    virtual ~CFrameServices() = default;

    virtual void SetStatusText(const QString &text) = 0;
    // The same for a refusal, which a screen reader is also told as an alert.
    virtual void SetRefusalText(const QString &text) { SetStatusText(text); }
    // What the status bar shows now, so that a form can put it back when it closes.
    virtual QString GetStatusText() const { return {}; }
    virtual void SetFuncKeyCaption(int slot, const QString &text) = 0;
    virtual void ResetFuncKeyCaptions() = 0;
    virtual void SetBusyAnimation(bool on) = 0;
    // One frame on, painted at once: a long walk runs no events, so the clip
    // moves only when the walk moves it.
    virtual void StepBusyAnimation() {}

    static CFrameServices *Instance();
    static void Register(CFrameServices *services);
};
