#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files in the form of Japan Post's national postal code file (KEN_ALL.CSV), for the
// tests and the benchmarks: fifteen fields a line, as the post office writes them.
class CPostalFileBuilder final
{
public:
    // One line; town as the file gives it, notes and all.
    CPostalFileBuilder &Add(const QString &code, const QString &prefecture, const QString &city, const QString &town,
                            const QString &jis = QStringLiteral("13101"));
    // A town too long for one line, split over lines as the post office splits it (38 characters).
    CPostalFileBuilder &AddSplit(const QString &code, const QString &prefecture, const QString &city, const QString &town);
    QString Text() const { return m_lines.join(QString()); }
    QByteArray Utf8() const { return Text().toUtf8(); }
    // CP932, as KEN_ALL.CSV is downloaded; empty when a character has no such byte.
    QByteArray ShiftJis() const;
    qsizetype LineCount() const { return m_lines.size(); }

    // Every quirk of the national file in a dozen lines: a town split over two lines, notes in
    // parentheses, a building's floors, 以下に掲載がない場合, ○○の次に番地がくる場合, ○○一円,
    // a code of two towns (6020000) and one of two lines naming one town (0600042).
    static CPostalFileBuilder Sample();
    // A file of count lines over made-up towns, codes rising, a code of several towns and
    // a split town now and then, as the national file has them.
    static CPostalFileBuilder Synthetic(int count);
    // A zip file of one part, as ken_all.zip holds KEN_ALL.CSV; returns path, empty on failure.
    static QString WriteZip(const QString &path, const QString &part, const QByteArray &bytes);

private:
    QStringList m_lines;
};
