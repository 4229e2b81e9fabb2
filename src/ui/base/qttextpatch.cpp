#include "base/qttextpatch.h"

#include <cstring>

namespace {
struct SText {
    const char *context;
    const char *source;
    const char *japanese;
};

const SText kTexts[] = {
    {"QPrintSettingsOutput", "Pages", "ページ指定"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: "
     "3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "ページまたは範囲をカンマで区切って指定します。範囲は二つの数をハイフンでつなぎます。"
     "例: 3,5-7,9 で 3、5、6、7、9 ページを印刷します。"},
    {"QPrintSettingsOutput", "Double Sided Printing", "両面印刷"},
    {"QPrintSettingsOutput", "Off", "しない"},
    {"QPrintSettingsOutput", "Long side binding", "長辺とじ"},
    {"QPrintSettingsOutput", "Short side binding", "短辺とじ"},
};
} // namespace

CQtTextPatch::CQtTextPatch(QObject *parent)
    : QTranslator(parent)
{
}

QString CQtTextPatch::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText)
        return {};
    for (const SText &text : kTexts) {
        if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0)
            return QString::fromUtf8(text.japanese);
    }
    // Not ours: the framework's translation answers.
    return {};
}
