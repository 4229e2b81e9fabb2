#pragma once

// What the shell tests share: the running main window, its captions and menus,
// and a start from a working folder that holds the database and tmp.mvk.
#include "shell/childframe.h"
#include "shell/mainframe.h"
#include "shell/morvekapp.h"
#include "forms/funckeybar.h"
#include "forms/funckeycaptions.h"
#include "store/schema.h"
#include "testsupport.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

inline CMainFrame *Frame()
{
    return theApp()->GetMainFrame();
}

inline QStringList Captions()
{
    QStringList captions;
    for (int i = 0; i < 12; ++i)
        captions.append(Frame()->GetFuncKeyBar()->GetCaption(i));
    return captions;
}

inline QStringList AsList(const CFuncKeyCaptions::Set &set)
{
    return QStringList(set.begin(), set.end());
}

// A menu bar as its captions, "\t" and the key where one is shown, "-" for separators.
inline QStringList MenuTexts(const QList<QAction *> &actions, const QString &indent = {})
{
    QStringList texts;
    for (QAction *action : actions) {
        QString text = indent + (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!action->shortcut().isEmpty())
            text += QLatin1Char('\t') + action->shortcut().toString();
        texts.append(text);
        if (action->menu())
            texts += MenuTexts(action->menu()->actions(), indent + QStringLiteral("  "));
    }
    return texts;
}

inline bool Enabled(int id)
{
    Frame()->UpdateCommandUI();
    return Frame()->GetAction(id)->isEnabled();
}

inline void CloseCompanyWindows()
{
    for (CChildFrame *child : Frame()->GetChildFrames())
        child->close();
    QTRY_COMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
}

inline QByteArray DefaultLayoutFile()
{
    QFile shipped(QFINDTESTDATA("../res/tmp.mvk"));
    return shipped.open(QIODevice::ReadOnly) ? shipped.readAll() : QByteArray();
}

inline void WriteLayout(const QByteArray &bytes)
{
    WriteFile(CMorvekApp::DocumentFileName(), bytes);
}

// Starts the program in folder as a user would: database and layout file present.
inline void StartIn(const QTemporaryDir &folder)
{
    IsolateSettings(folder.filePath(QStringLiteral("settings")));
    QDir::setCurrent(folder.path());
    CSchema::CreateDatabaseFile(folder.filePath(QStringLiteral("odata.mdb")));
    WriteLayout(DefaultLayoutFile());
    CDialogAnswers none([](QDialog &) { return QDialog::Rejected; });
    QVERIFY(theApp()->InitInstance());
    QVERIFY(none.Texts().isEmpty());
    QVERIFY(QTest::qWaitForWindowExposed(Frame()));
}

// Back to the one company window of a fresh start.
inline void OneCompanyWindow()
{
    WriteLayout(DefaultLayoutFile());
    if (Frame()->GetChildFrames().size() != 1) {
        CloseCompanyWindows();
        theApp()->OnShowCompany();
    }
    QCOMPARE(Frame()->GetChildFrames().size(), 1);
}
