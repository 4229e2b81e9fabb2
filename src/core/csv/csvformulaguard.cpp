#include "csv/csvformulaguard.h"

namespace {
bool Starts(const QString &text)
{
    if (text.isEmpty())
        return false;
    switch (text.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
        return true;
    default:
        return false;
    }
}

// The apostrophe that Protect wrote: one before a formula-like text, or before another apostrophe that did.
bool Escaped(const QString &text)
{
    return text.startsWith(QLatin1Char('\'')) && text.size() > 1
        && (Starts(text.mid(1, 1)) || text.at(1) == QLatin1Char('\''));
}
} // namespace

bool CCsvFormulaGuard::LooksLikeFormula(const QString &text)
{
    return Starts(text);
}

QString CCsvFormulaGuard::Protect(const QString &text)
{
    return Starts(text) || Escaped(text) ? QLatin1Char('\'') + text : text;
}

QString CCsvFormulaGuard::Unprotect(const QString &text)
{
    return Escaped(text) ? text.mid(1) : text;
}
