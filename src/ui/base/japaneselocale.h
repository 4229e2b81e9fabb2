#pragma once

class QApplication;

// Makes the framework's own dialogs speak Japanese and maps the Windows face
// names the program asks for onto the IPA fonts installed here.
class CJapaneseLocale final
{
public:
    static void Install(QApplication &app);
    // The proportional face dialogs use, at 9 points.
    static constexpr const char *DialogFace() { return "ＭＳ Ｐゴシック"; }
    static constexpr int DialogPointSize = 9;
};
