#include "kana/readingsuggester.h"

#include "kana/kana.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <algorithm>
#include <mecab.h>

namespace {
const QString kNoDictionary = QStringLiteral(
    "ふりがなの候補は使えません。MeCab の辞書（Debian の mecab-ipadic-utf8）が入っていません。");

// IPADIC's features: part of speech (4), conjugation (2), base form, reading, pronunciation.
constexpr int kIpadicReading = 7;
// UniDic's are longer; its 21st is the reading of the word as written.
constexpr int kUnidicReading = 20;

// A word's reading: the dictionary's, or the word itself when it is kana already.
QString ReadingOf(const MeCab::Node *node)
{
    const QString surface = QString::fromUtf8(node->surface, int(node->length));
    if (CKana::AllKana(surface))
        return surface;
    const QStringList features = QString::fromUtf8(node->feature).split(QLatin1Char(','));
    const QString reading = features.value(features.size() > kUnidicReading ? kUnidicReading : kIpadicReading);
    if (!CKana::AllKana(reading))
        return {};
    return reading;
}
} // namespace

struct CReadingSuggester::SState {
    QMutex lock; // a tagger reads one text at a time
    MeCab::Model *model = nullptr;
    MeCab::Tagger *tagger = nullptr;
    MeCab::Lattice *lattice = nullptr;
};

CReadingSuggester &CReadingSuggester::Instance()
{
    static CReadingSuggester suggester;
    return suggester;
}

QString CReadingSuggester::IpadicFolder()
{
    return QStringLiteral("/var/lib/mecab/dic/ipadic-utf8");
}

CReadingSuggester::CReadingSuggester(const QString &dictionaryFolder)
    : m_pState(std::make_unique<SState>())
{
    // The IPA dictionary by name: the system's choice may be another one installed
    // beside it. Without any, nothing.
    QString folder = dictionaryFolder;
    if (folder.isEmpty() && QFileInfo::exists(IpadicFolder() + QStringLiteral("/sys.dic")))
        folder = IpadicFolder();
    const QByteArray arguments = folder.isEmpty() ? QByteArray() : "-d " + QFile::encodeName(folder);
    m_pState->model = MeCab::createModel(arguments.constData());
    if (!m_pState->model)
        return;
    m_pState->tagger = m_pState->model->createTagger();
    m_pState->lattice = m_pState->model->createLattice();
}

CReadingSuggester::~CReadingSuggester()
{
    delete m_pState->lattice;
    delete m_pState->tagger;
    delete m_pState->model;
}

bool CReadingSuggester::IsAvailable() const
{
    return m_pState->tagger && m_pState->lattice;
}

QString CReadingSuggester::Unavailable() const
{
    return IsAvailable() ? QString() : kNoDictionary;
}

QString CReadingSuggester::Suggest(const QString &name) const
{
    if (!IsAvailable())
        return {};
    QMutexLocker locked(&m_pState->lock);
    QString reading;
    QString part;
    const auto readPart = [&]() -> bool {
        if (part.isEmpty())
            return true;
        const QByteArray text = part.normalized(QString::NormalizationForm_KC).toUtf8();
        part.clear();
        m_pState->lattice->set_sentence(text.constData(), size_t(text.size()));
        if (!m_pState->tagger->parse(m_pState->lattice))
            return false;
        for (const MeCab::Node *node = m_pState->lattice->bos_node(); node; node = node->next) {
            if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
                continue;
            const QString word = ReadingOf(node);
            if (word.isEmpty())
                return false;
            reading += word;
        }
        return true;
    };
    for (const QChar c : name) {
        if (!CKana::IsSpace(c)) {
            part += c;
            continue;
        }
        if (!readPart())
            return {};
        reading += c;
    }
    if (!readPart())
        return {};
    const QString hiragana = CKana::Hiragana(reading).trimmed();
    // Nothing to read but spaces, or marks that are no name.
    return std::any_of(hiragana.cbegin(), hiragana.cend(), CKana::IsKana) ? hiragana : QString();
}
