#pragma once

#include <QString>
#include <QStringList>

class CPostalDirectory;

// What leaving a 〒 field gives the 住所1 beside it.
class CPostalFill final
{
public:
    enum class EOutcome {
        Nothing, // 住所1 holds something, or the field holds no seven-digit code
        NoData,  // no postal data is kept
        Unknown, // the data does not know the code
        Found,   // one address or more to choose from
    };

    struct SResult {
        EOutcome outcome = EOutcome::Nothing;
        QString code;          // seven digits
        QStringList addresses; // each once, in the data's order
        QString message;       // for the status bar; empty when there is nothing to say
    };

    CPostalFill() = delete;

    // address1: what 住所1 holds; it is never written over.
    static SResult ForForm(const CPostalDirectory &directory, const QString &postal, const QString &address1);
    static QString UnknownText(const QString &code);
};
