// Readings of names: suggested by the dictionary, spaced as the name is, and taken
// from what was typed through an input method before it was converted.
#include "kana/imereading.h"
#include "kana/readingsuggester.h"

#include <QTest>

namespace {
// What the dictionary read right when the table was written; it must not fall.
constexpr double kFloor = 0.93; // 94.0 % with IPADIC (252 of 268)

struct SName {
    const char16_t *name;
    const char16_t *reading;
};

// Common family names and given names with their usual readings.
const SName kNames[] = {
    {u"佐藤", u"さとう"},     {u"鈴木", u"すずき"},   {u"高橋", u"たかはし"},   {u"田中", u"たなか"},
    {u"伊藤", u"いとう"},     {u"渡辺", u"わたなべ"}, {u"山本", u"やまもと"},   {u"中村", u"なかむら"},
    {u"小林", u"こばやし"},   {u"加藤", u"かとう"},   {u"吉田", u"よしだ"},     {u"山田", u"やまだ"},
    {u"佐々木", u"ささき"},   {u"山口", u"やまぐち"}, {u"松本", u"まつもと"},   {u"井上", u"いのうえ"},
    {u"木村", u"きむら"},     {u"林", u"はやし"},     {u"斎藤", u"さいとう"},   {u"清水", u"しみず"},
    {u"山崎", u"やまざき"},   {u"森", u"もり"},       {u"池田", u"いけだ"},     {u"橋本", u"はしもと"},
    {u"阿部", u"あべ"},       {u"石川", u"いしかわ"}, {u"山下", u"やました"},   {u"中島", u"なかじま"},
    {u"石井", u"いしい"},     {u"小川", u"おがわ"},   {u"前田", u"まえだ"},     {u"岡田", u"おかだ"},
    {u"長谷川", u"はせがわ"}, {u"藤田", u"ふじた"},   {u"後藤", u"ごとう"},     {u"近藤", u"こんどう"},
    {u"村上", u"むらかみ"},   {u"遠藤", u"えんどう"}, {u"青木", u"あおき"},     {u"坂本", u"さかもと"},
    {u"斉藤", u"さいとう"},   {u"福田", u"ふくだ"},   {u"太田", u"おおた"},     {u"西村", u"にしむら"},
    {u"藤井", u"ふじい"},     {u"金子", u"かねこ"},   {u"岡本", u"おかもと"},   {u"藤原", u"ふじわら"},
    {u"中野", u"なかの"},     {u"三浦", u"みうら"},   {u"原田", u"はらだ"},     {u"中川", u"なかがわ"},
    {u"松田", u"まつだ"},     {u"竹内", u"たけうち"}, {u"小野", u"おの"},       {u"田村", u"たむら"},
    {u"中山", u"なかやま"},   {u"和田", u"わだ"},     {u"石田", u"いしだ"},     {u"森田", u"もりた"},
    {u"上田", u"うえだ"},     {u"原", u"はら"},       {u"内田", u"うちだ"},     {u"柴田", u"しばた"},
    {u"酒井", u"さかい"},     {u"宮崎", u"みやざき"}, {u"横山", u"よこやま"},   {u"高木", u"たかぎ"},
    {u"安藤", u"あんどう"},   {u"宮本", u"みやもと"}, {u"大野", u"おおの"},     {u"小島", u"こじま"},
    {u"谷口", u"たにぐち"},   {u"今井", u"いまい"},   {u"工藤", u"くどう"},     {u"高田", u"たかだ"},
    {u"増田", u"ますだ"},     {u"丸山", u"まるやま"}, {u"杉山", u"すぎやま"},   {u"村田", u"むらた"},
    {u"大塚", u"おおつか"},   {u"新井", u"あらい"},   {u"小山", u"こやま"},     {u"平野", u"ひらの"},
    {u"藤本", u"ふじもと"},   {u"河野", u"こうの"},   {u"上野", u"うえの"},     {u"野口", u"のぐち"},
    {u"武田", u"たけだ"},     {u"松井", u"まつい"},   {u"千葉", u"ちば"},       {u"岩崎", u"いわさき"},
    {u"菅原", u"すがわら"},   {u"木下", u"きのした"}, {u"久保", u"くぼ"},       {u"佐野", u"さの"},
    {u"野村", u"のむら"},     {u"松尾", u"まつお"},   {u"市川", u"いちかわ"},   {u"菊地", u"きくち"},
    {u"杉本", u"すぎもと"},   {u"古川", u"ふるかわ"}, {u"大西", u"おおにし"},   {u"島田", u"しまだ"},
    {u"水野", u"みずの"},     {u"桜井", u"さくらい"}, {u"高野", u"たかの"},     {u"吉川", u"よしかわ"},
    {u"山内", u"やまうち"},   {u"西田", u"にしだ"},   {u"飯田", u"いいだ"},     {u"菊池", u"きくち"},
    {u"西川", u"にしかわ"},   {u"小松", u"こまつ"},   {u"北村", u"きたむら"},   {u"安田", u"やすだ"},
    {u"五十嵐", u"いがらし"}, {u"川口", u"かわぐち"}, {u"平田", u"ひらた"},     {u"関", u"せき"},
    {u"久保田", u"くぼた"},   {u"服部", u"はっとり"}, {u"岩田", u"いわた"},     {u"土屋", u"つちや"},
    {u"川崎", u"かわさき"},   {u"福島", u"ふくしま"}, {u"本田", u"ほんだ"},     {u"辻", u"つじ"},
    {u"樋口", u"ひぐち"},     {u"秋山", u"あきやま"}, {u"田口", u"たぐち"},     {u"永井", u"ながい"},
    {u"山中", u"やまなか"},   {u"中西", u"なかにし"}, {u"吉村", u"よしむら"},   {u"川上", u"かわかみ"},
    {u"大橋", u"おおはし"},   {u"石原", u"いしはら"}, {u"松岡", u"まつおか"},   {u"浅野", u"あさの"},
    {u"馬場", u"ばば"},       {u"荒木", u"あらき"},   {u"大久保", u"おおくぼ"}, {u"野田", u"のだ"},
    {u"小沢", u"おざわ"},     {u"田辺", u"たなべ"},   {u"川村", u"かわむら"},   {u"星野", u"ほしの"},
    {u"黒田", u"くろだ"},     {u"堀", u"ほり"},       {u"尾崎", u"おざき"},     {u"望月", u"もちづき"},
    {u"永田", u"ながた"},     {u"熊谷", u"くまがい"}, {u"内藤", u"ないとう"},   {u"松村", u"まつむら"},
    {u"西山", u"にしやま"},   {u"大谷", u"おおたに"}, {u"平井", u"ひらい"},     {u"大島", u"おおしま"},
    {u"岩本", u"いわもと"},   {u"片山", u"かたやま"}, {u"本間", u"ほんま"},     {u"早川", u"はやかわ"},
    {u"横田", u"よこた"},     {u"岡崎", u"おかざき"}, {u"荒井", u"あらい"},     {u"大石", u"おおいし"},
    {u"成田", u"なりた"},     {u"宮田", u"みやた"},   {u"小田", u"おだ"},       {u"石橋", u"いしばし"},
    {u"篠原", u"しのはら"},   {u"須藤", u"すどう"},   {u"河合", u"かわい"},     {u"太郎", u"たろう"},
    {u"花子", u"はなこ"},     {u"一郎", u"いちろう"}, {u"次郎", u"じろう"},     {u"三郎", u"さぶろう"},
    {u"健", u"けん"},         {u"誠", u"まこと"},     {u"翔太", u"しょうた"},   {u"大輔", u"だいすけ"},
    {u"拓也", u"たくや"},     {u"直樹", u"なおき"},   {u"健太", u"けんた"},     {u"和也", u"かずや"},
    {u"達也", u"たつや"},     {u"隆", u"たかし"},     {u"浩", u"ひろし"},       {u"清", u"きよし"},
    {u"茂", u"しげる"},       {u"実", u"みのる"},     {u"勇", u"いさむ"},       {u"明", u"あきら"},
    {u"正", u"ただし"},       {u"修", u"おさむ"},     {u"豊", u"ゆたか"},       {u"進", u"すすむ"},
    {u"学", u"まなぶ"},       {u"剛", u"つよし"},     {u"大樹", u"だいき"},     {u"翼", u"つばさ"},
    {u"蓮", u"れん"},         {u"悠真", u"ゆうま"},   {u"陽翔", u"はると"},     {u"優", u"ゆう"},
    {u"海斗", u"かいと"},     {u"健一", u"けんいち"}, {u"裕子", u"ゆうこ"},     {u"洋子", u"ようこ"},
    {u"恵子", u"けいこ"},     {u"幸子", u"さちこ"},   {u"和子", u"かずこ"},     {u"京子", u"きょうこ"},
    {u"久美子", u"くみこ"},   {u"由美", u"ゆみ"},     {u"真由美", u"まゆみ"},   {u"美穂", u"みほ"},
    {u"愛", u"あい"},         {u"美咲", u"みさき"},   {u"陽子", u"ようこ"},     {u"智子", u"ともこ"},
    {u"直美", u"なおみ"},     {u"明美", u"あけみ"},   {u"恵美", u"えみ"},       {u"麻衣", u"まい"},
    {u"彩", u"あや"},         {u"結衣", u"ゆい"},     {u"葵", u"あおい"},       {u"陽菜", u"ひな"},
    {u"優子", u"ゆうこ"},     {u"真理子", u"まりこ"}, {u"典子", u"のりこ"},     {u"順子", u"じゅんこ"},
    {u"良子", u"よしこ"},     {u"節子", u"せつこ"},   {u"美紀", u"みき"},       {u"香織", u"かおり"},
    {u"舞", u"まい"},         {u"沙織", u"さおり"},   {u"千尋", u"ちひろ"},     {u"亮", u"りょう"},
    {u"悟", u"さとる"},       {u"聡", u"さとし"},     {u"健二", u"けんじ"},     {u"浩二", u"こうじ"},
    {u"雄一", u"ゆういち"},   {u"秀樹", u"ひでき"},   {u"正樹", u"まさき"},     {u"和夫", u"かずお"},
    {u"秀夫", u"ひでお"},     {u"幸雄", u"ゆきお"},   {u"敏夫", u"としお"},     {u"義男", u"よしお"},
    {u"哲也", u"てつや"},     {u"信也", u"しんや"},   {u"智也", u"ともや"},     {u"雅人", u"まさと"},
    {u"直人", u"なおと"},     {u"隼人", u"はやと"},   {u"翔", u"しょう"},       {u"美香", u"みか"},
    {u"理恵", u"りえ"},       {u"真奈美", u"まなみ"}, {u"奈々", u"なな"},       {u"玲奈", u"れな"},
};
} // namespace

class TestKana : public QObject
{
    Q_OBJECT

private slots:
    void namesReadRight();
    void spacedAsTheName_data();
    void spacedAsTheName();
    void typedReading_data();
    void typedReading();
    void withoutTheDictionary();
};

// The share of the table the dictionary reads right is reported, and kept from falling.
void TestKana::namesReadRight()
{
    const CReadingSuggester &suggester = CReadingSuggester::Instance();
    if (!suggester.IsAvailable())
        QSKIP(qPrintable(suggester.Unavailable()));
    QStringList wrong;
    for (const SName &name : kNames) {
        const QString suggested = suggester.Suggest(QString::fromUtf16(name.name));
        if (suggested != QString::fromUtf16(name.reading))
            wrong << QString::fromUtf16(name.name) + QLatin1Char('=') + suggested;
    }
    const int total = int(std::size(kNames));
    const double share = double(total - wrong.size()) / total;
    qInfo("%d names, %.1f %% read right; wrong: %s", total, share * 100, qPrintable(wrong.join(u' ')));
    // UniDic, where it is installed, measured beside it (a 1 GB download: not shipped).
    if (const CReadingSuggester unidic(QStringLiteral("/var/lib/mecab/dic/unidic")); unidic.IsAvailable()) {
        int right = 0;
        for (const SName &name : kNames)
            right += unidic.Suggest(QString::fromUtf16(name.name)) == QString::fromUtf16(name.reading);
        qInfo("UniDic: %.1f %% read right", 100.0 * right / total);
    }
    QVERIFY(total >= 200);
    QVERIFY2(share >= kFloor, qPrintable(QString::number(share)));
}

void TestKana::spacedAsTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reading");
    QTest::newRow("half-width space") << QStringLiteral("山田 太郎") << QStringLiteral("やまだ たろう");
    QTest::newRow("full-width space") << QStringLiteral("鈴木　花子") << QStringLiteral("すずき　はなこ");
    QTest::newRow("no space") << QStringLiteral("田中") << QStringLiteral("たなか");
    QTest::newRow("spaces around") << QStringLiteral(" 佐藤 一郎 ") << QStringLiteral("さとう いちろう");
    QTest::newRow("katakana") << QStringLiteral("スズキ ハナコ") << QStringLiteral("すずき はなこ");
    QTest::newRow("half-width kana") << QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ") << QStringLiteral("やまだ たろう");
    QTest::newRow("hiragana") << QStringLiteral("やまだ") << QStringLiteral("やまだ");
    QTest::newRow("nothing to read") << QStringLiteral("  ") << QString();
    QTest::newRow("latin") << QStringLiteral("Smith") << QString();
}

void TestKana::spacedAsTheName()
{
    QFETCH(QString, name);
    QFETCH(QString, reading);
    const CReadingSuggester &suggester = CReadingSuggester::Instance();
    if (!suggester.IsAvailable())
        QSKIP(qPrintable(suggester.Unavailable()));
    QCOMPARE(suggester.Suggest(name), reading);
}

void TestKana::typedReading_data()
{
    // Each step: the text before, the commit, the pre-edit before and after it.
    QTest::addColumn<QStringList>("steps"); // before|commit|preeditBefore|preeditAfter
    QTest::addColumn<QString>("text");      // the field's text asked about
    QTest::addColumn<QString>("reading");
    QTest::newRow("two words converted") << QStringList{"|山田|やまだ|", "山田 |太郎|たろう|"}
                                         << QStringLiteral("山田 太郎") << QStringLiteral("やまだ たろう");
    QTest::newRow("a clause at a time") << QStringList{"|山田|やまだたろう|たろう", "山田|太郎|たろう|"}
                                        << QStringLiteral("山田太郎") << QStringLiteral("やまだたろう");
    QTest::newRow("kana left as typed") << QStringList{"|すずき|すずき|"} << QStringLiteral("すずき")
                                        << QStringLiteral("すずき");
    QTest::newRow("katakana conversion") << QStringList{"|スズキ|すずき|"} << QStringLiteral("スズキ")
                                         << QStringLiteral("すずき");
    QTest::newRow("changed after") << QStringList{"|山田|やまだ|"} << QStringLiteral("山本") << QString();
    QTest::newRow("typed past the input method") << QStringList{"山|田|だ|"} << QStringLiteral("山田") << QString();
    QTest::newRow("emptied and typed again")
        << QStringList{"|山本|やまもと|", "|山田|やまだ|"} << QStringLiteral("山田") << QStringLiteral("やまだ");
    QTest::newRow("no pre-edit to take") << QStringList{"|山田||"} << QStringLiteral("山田") << QString();
}

void TestKana::typedReading()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, text);
    QFETCH(QString, reading);
    CImeReading typed;
    for (const QString &step : steps) {
        const QStringList parts = step.split(u'|');
        typed.Committed(parts[0], parts[1], parts[2], parts[3], parts[0] + parts[1]);
    }
    QCOMPARE(typed.For(text), reading);
}

// A machine without the dictionary reads nothing and says why; nothing fails.
void TestKana::withoutTheDictionary()
{
    const CReadingSuggester missing(QStringLiteral("/nonexistent/dictionary"));
    QVERIFY(!missing.IsAvailable());
    QCOMPARE(missing.Suggest(QStringLiteral("山田 太郎")), QString());
    QVERIFY(missing.Unavailable().contains(QStringLiteral("mecab-ipadic-utf8")));
}

QTEST_GUILESS_MAIN(TestKana)
#include "tst_kana.moc"
