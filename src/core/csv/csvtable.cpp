#include "csv/csvtable.h"

#include <csv.h>
#include <algorithm>

namespace {
// libcsv's state before the first byte of a record (ROW_NOT_BEGUN).
constexpr int kRowNotBegun = 0;
// A field is fed in pieces no longer than this, so that an overlong one is refused
// before libcsv has gathered it whole.
constexpr qsizetype kPiece = 64 * 1024;
// No UTF-8 text of more bytes than this fits in a cell's UTF-16 units.
constexpr size_t kMaxCellBytes = size_t(CReadBudget::MaxCellLength) * 3;

enum class EStop { none, tooWide, tooLong, tooMany, overBudget };

struct SParseState {
    QList<SCsvRecord> *records;
    CReadBudget *budget;
    SCsvRecord current;
    qsizetype recordLine = 1;
    EStop stop = EStop::none;
};

void OnField(void *data, size_t size, void *user)
{
    auto *state = static_cast<SParseState *>(user);
    if (state->stop != EStop::none)
        return;
    if (state->current.fields.size() >= CCsvTable::MaxFields) {
        state->stop = EStop::tooWide;
        return;
    }
    QString field = size > kMaxCellBytes ? QString() : QString::fromUtf8(static_cast<const char *>(data), qsizetype(size));
    if (size > kMaxCellBytes || field.size() > CReadBudget::MaxCellLength) {
        state->stop = EStop::tooLong;
        return;
    }
    if (state->budget && !state->budget->Charge(CReadBudget::CellCost(field.size()))) {
        state->stop = EStop::overBudget;
        return;
    }
    state->current.fields.append(std::move(field));
}

void OnRecordEnd(int, void *user)
{
    auto *state = static_cast<SParseState *>(user);
    if (state->stop != EStop::none)
        return;
    if (state->records->size() >= CCsvTable::MaxRecords) {
        state->stop = EStop::tooMany;
        return;
    }
    if (state->budget && !state->budget->Charge(CReadBudget::RowCost())) {
        state->stop = EStop::overBudget;
        return;
    }
    state->current.line = state->recordLine;
    state->records->append(std::move(state->current));
    state->current = {};
}

QString StopReason(const SParseState &state, const CReadBudget *budget)
{
    switch (state.stop) {
    case EStop::tooWide:
        return QStringLiteral("%1 行目: 列が多すぎます（%2 列まで）。").arg(state.recordLine).arg(CCsvTable::MaxFields);
    case EStop::tooLong:
        return QStringLiteral("%1 行目 %2 列目: 文字が長すぎます（%3 文字まで）。")
            .arg(state.recordLine)
            .arg(state.current.fields.size() + 1)
            .arg(CReadBudget::MaxCellLength);
    case EStop::tooMany:
        return QStringLiteral("行が多すぎます（見出しを除いて %1 行まで）。").arg(CCsvTable::MaxRecords - 1);
    case EStop::overBudget:
        return budget->Refusal();
    case EStop::none:
        break;
    }
    return {};
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

bool CCsvTable::Parse(QByteArrayView utf8, QList<SCsvRecord> &records, QString &error, CReadBudget *budget)
{
    records.clear();
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        error = QStringLiteral("CSV を読む準備ができません。");
        return false;
    }
    SParseState state{&records, budget, {}, 1};
    qsizetype line = 1;
    qsizetype start = 0;
    bool ok = true;
    // Fed line by line, so that each record knows the line it starts on; a long line in pieces.
    qsizetype lineEnd = 0;
    bool endsWithNewline = false;
    while (start < utf8.size()) {
        if (start >= lineEnd) { // looked for once a line, not once a piece
            const qsizetype newline = utf8.indexOf('\n', start);
            endsWithNewline = newline >= 0;
            lineEnd = endsWithNewline ? newline + 1 : utf8.size();
        }
        const qsizetype end = std::min(lineEnd, start + kPiece);
        if (parser.pstate == kRowNotBegun)
            state.recordLine = line;
        const size_t length = size_t(end - start);
        if (csv_parse(&parser, utf8.data() + start, length, OnField, OnRecordEnd, &state) != length) {
            error = QStringLiteral("%1 行目: CSV の形式が正しくありません（%2）。")
                        .arg(line)
                        .arg(QString::fromLatin1(csv_strerror(csv_error(&parser))));
            ok = false;
            break;
        }
        if (state.stop == EStop::none && parser.entry_pos > kMaxCellBytes)
            state.stop = EStop::tooLong;
        if (state.stop != EStop::none) {
            error = StopReason(state, budget);
            ok = false;
            break;
        }
        start = end;
        if (end == lineEnd && endsWithNewline)
            ++line;
    }
    if (ok && csv_fini(&parser, OnField, OnRecordEnd, &state) != 0) {
        error = QStringLiteral("%1 行目から始まる引用符（\"）が閉じないままファイルが終わっています。")
                    .arg(state.recordLine);
        ok = false;
    }
    if (ok && state.stop != EStop::none) {
        error = StopReason(state, budget);
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
