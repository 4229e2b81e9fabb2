#pragma once

class QWidget;

// ﾌｧｲﾙ → "郵便番号データの読み込み...": Japan Post's national file in place of the postal
// data kept; the work is CPostalDirectory's.
class CPostalCommands final
{
public:
    // True when the data was replaced.
    static bool OnImportPostal(QWidget *parent);
};
