#include "csv/csvtable.h"

#include <csv.h>

namespace {
// libcsv's state before the first byte of a record (ROW_NOT_BEGUN).
constexpr int kRowNotBegun = 0;

struct SParseState {
    QList<SCsvRecord> *records;
    SCsvRecord current;
    qsizetype recordLine = 1;
    bool tooWide = false;
};

void OnField(void *data, size_t size, void *user)
{
    auto *state = static_cast<SParseState *>(user);
    if (state->current.fields.size() >= CCsvTable::MaxFields) {
        state->tooWide = true;
        return;
    }
    state->current.fields.append(QString::fromUtf8(static_cast<const char *>(data), qsizetype(size)));
}

void OnRecordEnd(int, void *user)
{
    auto *state = static_cast<SParseState *>(user);
    state->current.line = state->recordLine;
    state->records->append(std::move(state->current));
    state->current = {};
}

bool NeedsQuotes(const QByteArray &field)
{
    if (field.isEmpty())
        return false;
    if (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' || field.back() == '\t')
        return true;
    for (char c : field)
        if (c == ',' || c == '"' || c == '\n' || c == '\r')
            return true;
    return false;
}
} // namespace

bool CCsvTable::Parse(const QByteArray &utf8, QList<SCsvRecord> &records, QString &error)
{
    records.clear();
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        error = QStringLiteral("CSV を読む準備ができません。");
        return false;
    }
    SParseState state{&records, {}, 1, false};
    qsizetype line = 1;
    qsizetype start = 0;
    bool ok = true;
    // Fed line by line, so that each record knows the line it starts on.
    while (start < utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        end = end < 0 ? utf8.size() : end + 1;
        if (parser.pstate == kRowNotBegun)
            state.recordLine = line;
        const size_t length = size_t(end - start);
        if (csv_parse(&parser, utf8.constData() + start, length, OnField, OnRecordEnd, &state) != length) {
            error = QStringLiteral("%1 行目: CSV の形式が正しくありません（%2）。")
                        .arg(line)
                        .arg(QString::fromLatin1(csv_strerror(csv_error(&parser))));
            ok = false;
            break;
        }
        if (state.tooWide) {
            error = QStringLiteral("%1 行目: 列が多すぎます（%2 列まで）。").arg(state.recordLine).arg(MaxFields);
            ok = false;
            break;
        }
        start = end;
        ++line;
    }
    if (ok && csv_fini(&parser, OnField, OnRecordEnd, &state) != 0) {
        error = QStringLiteral("%1 行目から始まる引用符（\"）が閉じないままファイルが終わっています。")
                    .arg(state.recordLine);
        ok = false;
    }
    csv_free(&parser);
    if (!ok)
        records.clear();
    return ok;
}

void CCsvTable::AppendRecord(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        const QByteArray field = fields.at(i).toUtf8();
        if (!NeedsQuotes(field)) {
            out += field;
            continue;
        }
        const size_t size = csv_write(nullptr, 0, field.constData(), size_t(field.size()));
        const qsizetype at = out.size();
        out.resize(at + qsizetype(size));
        csv_write(out.data() + at, size, field.constData(), size_t(field.size()));
    }
    out += "\r\n";
}

QByteArray CCsvTable::Write(const QList<QStringList> &records)
{
    QByteArray out;
    for (const QStringList &fields : records)
        AppendRecord(out, fields);
    return out;
}
