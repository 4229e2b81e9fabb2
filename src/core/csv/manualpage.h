#pragma once

#include <QString>

// The manual page morvek(1), in troff, from the command line's own table of options.
class CManualPage final
{
public:
    enum class ELanguage { english, japanese };

    CManualPage() = delete;

    static QString Render(ELanguage language, const QString &date);
};
