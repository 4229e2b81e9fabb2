#pragma once

#include "store/databasestartup.h"

#include <functional>

// The questions of the database start-up, asked in dialogs with no parent: the
// main window is not there yet.
class CStartupDialogs final : public CDatabaseStartup::CAsker
{
public:
    // checkDamage offers a damaged file its backup (the application's CheckDatabaseAtStart).
    explicit CStartupDialogs(std::function<bool()> checkDamage);

    bool CheckDamage(const QString &path) override;
    bool ConfirmCreate() override;
    QString ChooseNewFile(const QString &folder, const QString &name) override;
    void Tell(const QString &text) override;
    void Report(const std::exception &error) override;

private:
    std::function<bool()> m_checkDamage;
};
