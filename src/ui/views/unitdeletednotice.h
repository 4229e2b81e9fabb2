#pragma once

class QWidget;

// What a view says when the unit it acts on was deleted by another user:
// "この部課は他のユーザーが削除しました。"
class CUnitDeletedNotice final
{
public:
    CUnitDeletedNotice() = delete;

    static void Tell(QWidget *parent);
};
