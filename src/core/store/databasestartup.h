#pragma once

#include <QString>
#include <exception>

// Which register a start, or a change of register, ends up using: one that is
// there is checked and used; a missing one is made with the user's consent. The
// questions go to a person through CAsker: nothing here shows a window.
class CDatabaseStartup final
{
public:
    class CAsker
    {
    public:
        virtual ~CAsker() = default;
        // A damaged file may be restored from its backup; false leaves it unused.
        virtual bool CheckDamage(const QString &path) = 0;
        // "データベースを作成します。"; true to make it.
        virtual bool ConfirmCreate() = 0;
        // The new file, proposed as name in folder; empty when the user cancels.
        virtual QString ChooseNewFile(const QString &folder, const QString &name) = 0;
        // Something the user reads and closes.
        virtual void Tell(const QString &text) = 0;
        // A failure told, after which the start goes on.
        virtual void Report(const std::exception &error) = 0;
    };

    enum class EOutcome { usable, notUsable, damaged };
    struct SResult {
        EOutcome outcome = EOutcome::notUsable;
        QString path;        // the register to use from now on
        bool chosen = false; // the user picked or made it: worth remembering for the next start
        QString note;        // for the status bar
    };

    // path is the register the program was told to use. Throws CDaoException when
    // the register there cannot be used, or cannot be made.
    static SResult Find(const QString &path, CAsker &asker);

private:
    static SResult FindFile(const QString &path, CAsker &asker);
    static SResult FindInPlace(const QString &path, CAsker &asker);
};
