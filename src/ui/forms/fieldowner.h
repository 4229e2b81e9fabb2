#pragma once

class CEraDateEdit;

// What an entry field asks of the form it sits in: its rules for focus, function
// keys and checking a field, and leaving it with Esc. The field knows no more of
// the form than this.
class CFieldOwner
{
public:
    virtual ~CFieldOwner() = default;

    virtual int OnFieldFocus(int nField) = 0;
    // 0 lets the user leave the field; anything else keeps them in it.
    virtual int ValidateField(int nField, CEraDateEdit *pField) = 0;
    virtual void OnKeyDown(int nKey) = 0;
    virtual void CancelForm() = 0;
};
