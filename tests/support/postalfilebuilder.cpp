#include "support/postalfilebuilder.h"

#include <QFile>
#include <iconv.h>
#include <minizip/zip.h>

namespace {
QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

CPostalFileBuilder &CPostalFileBuilder::Add(const QString &code, const QString &prefecture, const QString &city,
                                            const QString &town, const QString &jis)
{
    const QStringList fields = {jis,
                                Quoted(code.left(3) + QStringLiteral("  ")),
                                Quoted(code),
                                Quoted(QStringLiteral("ﾄﾄﾞｳﾌｹﾝ")),
                                Quoted(QStringLiteral("ｼｸﾁｮｳｿﾝ")),
                                Quoted(QStringLiteral("ﾁｮｳｲｷ")),
                                Quoted(prefecture),
                                Quoted(city),
                                Quoted(town),
                                QStringLiteral("0"),
                                QStringLiteral("0"),
                                QStringLiteral("0"),
                                QStringLiteral("0"),
                                QStringLiteral("0"),
                                QStringLiteral("0")};
    m_lines << fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    return *this;
}

CPostalFileBuilder &CPostalFileBuilder::AddSplit(const QString &code, const QString &prefecture, const QString &city,
                                                 const QString &town)
{
    constexpr int kWidth = 38;
    for (qsizetype at = 0; at < town.size(); at += kWidth)
        Add(code, prefecture, city, town.mid(at, kWidth));
    return *this;
}

QByteArray CPostalFileBuilder::ShiftJis() const
{
    const QByteArray in = Utf8();
    QByteArray out(in.size() * 2 + 16, '\0');
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == iconv_t(-1))
        return {};
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    char *dst = out.data();
    size_t dstLeft = size_t(out.size());
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok)
        return {};
    out.resize(dst - out.data());
    return out;
}

CPostalFileBuilder CPostalFileBuilder::Sample()
{
    CPostalFileBuilder file;
    file.Add(QStringLiteral("0600042"), QStringLiteral("北海道"), QStringLiteral("札幌市中央区"),
             QStringLiteral("大通西（１～１９丁目）"), QStringLiteral("01101"))
        .Add(QStringLiteral("0600042"), QStringLiteral("北海道"), QStringLiteral("札幌市中央区"),
             QStringLiteral("大通西（２０～２８丁目）"), QStringLiteral("01101"))
        .AddSplit(
            QStringLiteral("0482402"), QStringLiteral("北海道"), QStringLiteral("余市郡仁木町"),
            QStringLiteral("大江（１丁目、２丁目「６５１、６６２、６６８番地」以外、３丁目５、１３－４、２０、６７８、"
                           "６８７番地）"))
        .Add(QStringLiteral("1000000"), QStringLiteral("東京都"), QStringLiteral("千代田区"),
             QStringLiteral("以下に掲載がない場合"))
        .Add(QStringLiteral("1000001"), QStringLiteral("東京都"), QStringLiteral("千代田区"), QStringLiteral("千代田"))
        .Add(QStringLiteral("1006090"), QStringLiteral("東京都"), QStringLiteral("千代田区"),
             QStringLiteral("丸の内ＪＰタワー（地階・階層不明）"))
        .Add(QStringLiteral("1006091"), QStringLiteral("東京都"), QStringLiteral("千代田区"),
             QStringLiteral("丸の内ＪＰタワー（１階）"))
        .Add(QStringLiteral("1000301"), QStringLiteral("東京都"), QStringLiteral("利島村"), QStringLiteral("利島村一円"))
        .Add(QStringLiteral("6020000"), QStringLiteral("京都府"), QStringLiteral("京都市上京区"),
             QStringLiteral("一条殿町"), QStringLiteral("26102"))
        .Add(QStringLiteral("6020000"), QStringLiteral("京都府"), QStringLiteral("京都市上京区"),
             QStringLiteral("二条殿町"), QStringLiteral("26102"))
        .Add(QStringLiteral("9691100"), QStringLiteral("福島県"), QStringLiteral("耶麻郡猪苗代町"),
             QStringLiteral("猪苗代町の次に番地がくる場合"), QStringLiteral("07408"))
        .Add(QStringLiteral("5220317"), QStringLiteral("滋賀県"), QStringLiteral("犬上郡多賀町"), QStringLiteral("一円"),
             QStringLiteral("25443"));
    return file;
}

CPostalFileBuilder CPostalFileBuilder::Synthetic(int count)
{
    static const QStringList prefectures = {QStringLiteral("北海道"), QStringLiteral("青森県"), QStringLiteral("東京都"),
                                            QStringLiteral("大阪府"), QStringLiteral("福岡県"), QStringLiteral("沖縄県")};
    CPostalFileBuilder file;
    int code = 10000;
    for (int i = 0; file.LineCount() < count; ++i) {
        const QString pref = prefectures.at((i / 2000) % prefectures.size());
        const QString city = QStringLiteral("第%1市").arg(i / 40);
        const QString digits = QStringLiteral("%1").arg(code, 7, 10, QLatin1Char('0'));
        if (i % 500 == 0)
            file.AddSplit(digits, pref, city,
                          QStringLiteral("大通%1（１～１９丁目、２０～２９丁目、３０～３９丁目、４０番地、５０番地、"
                                         "その他の番地を除く地区）")
                              .arg(i));
        else
            file.Add(digits, pref, city, QStringLiteral("本町%1").arg(i));
        // Now and then a second town under the same code.
        if (i % 97 != 0)
            code += 1 + i % 7;
    }
    return file;
}

QString CPostalFileBuilder::WriteZip(const QString &path, const QString &part, const QByteArray &bytes)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return {};
    const bool ok = zipOpenNewFileInZip64(zip, part.toUtf8().constData(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                          Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0)
                     == ZIP_OK
                 && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK
                 && zipCloseFileInZip(zip) == ZIP_OK;
    return zipClose(zip, nullptr) == ZIP_OK && ok ? path : QString();
}
