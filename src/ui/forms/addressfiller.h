#pragma once

#include <QString>

class CEraDateEdit;
class CPostalDirectory;
class QWidget;

// A form's 住所1 from its 〒 and back, with the postal data the program keeps: what
// the user chooses among several, and what the status bar is to say.
class CAddressFiller final
{
public:
    CAddressFiller() = delete;

    // On leaving the 〒 field: an empty 住所1 gets the code's address, chosen from a list
    // when the code names several towns. Returns the note for the status bar, empty for none;
    // that no data is kept is said once for each place the data would be kept.
    static QString FillFromCode(const CPostalDirectory &directory, QWidget *parent, const QString &postal,
                                CEraDateEdit *address1);
    // F10 on 住所1: the codes of the typed address to choose from; the choice fills the
    // 〒, and 住所1 too when what was typed was only its start. Returns the note.
    static QString OfferCodes(const CPostalDirectory &directory, QWidget *parent, CEraDateEdit *postal,
                              CEraDateEdit *address1);
};
