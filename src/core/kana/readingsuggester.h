#pragma once

#include <QString>
#include <memory>

// Suggests the reading of a Japanese name in hiragana, with MeCab and the IPA
// dictionary Debian packages (mecab-ipadic-utf8). The dictionary is looked for
// once; without it the program runs on and says that suggestions are off.
class CReadingSuggester final
{
public:
    // The one the program shares; made when first asked for.
    static CReadingSuggester &Instance();

    // With the dictionary in that folder; none: the IPA dictionary, else the system's.
    explicit CReadingSuggester(const QString &dictionaryFolder = {});
    // The IPA dictionary's folder on Debian.
    static QString IpadicFolder();
    ~CReadingSuggester();
    CReadingSuggester(const CReadingSuggester &) = delete;
    CReadingSuggester &operator=(const CReadingSuggester &) = delete;

    bool IsAvailable() const;
    // Why there are no suggestions, in words a user reads; empty when there are.
    QString Unavailable() const;
    // The reading in hiragana, a space where the name has one (of either width);
    // empty when the name has no kanji or kana to read, or a part cannot be read.
    QString Suggest(const QString &name) const;

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};
