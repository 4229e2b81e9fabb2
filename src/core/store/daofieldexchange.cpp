#include "store/daofieldexchange.h"

#include "store/daostatement.h"
#include "dates/datevalue.h"

#include <utility>

const QByteArray &CDaoLongBinary::Data() const
{
    if (m_source) {
        const Source source = std::exchange(m_source, nullptr);
        m_data = (*source)(m_nKey, CDaoFieldExchange::ColumnName(m_strColumn));
    }
    return m_data;
}

void CDaoLongBinary::SetData(const QByteArray &bytes)
{
    m_source = nullptr;
    m_data = bytes;
    m_bDirty = true;
}

void CDaoLongBinary::Attach(const Source &source, qint64 key, const QString &column)
{
    m_data.clear();
    m_source = source;
    m_nKey = key;
    m_strColumn = column;
    m_bDirty = false;
}

void CDaoLongBinary::Reset()
{
    m_source = nullptr;
    m_data.clear();
    m_nKey = -1;
    m_bDirty = false;
}

QString CDaoFieldExchange::ColumnName(const QString &bracketed)
{
    QString name = bracketed.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    return name;
}

namespace {
// Reads field i from the row, typed as the member wants it, and keeps the value
// as stored in m_values[i]. Only what is unusual goes through a variant.
template <typename Member, typename FromInteger, typename FromText, typename FromVariant>
Member LoadFromRow(CDaoFieldExchange *pFX, int i, FromInteger fromInteger, FromText fromText, FromVariant fromVariant)
{
    if (pFX->m_bFromValues)
        return fromVariant(pFX->m_values[i]);
    const int column = pFX->m_pRow && i < int(pFX->m_pRowColumns->size()) ? (*pFX->m_pRowColumns)[i] : -1;
    // A column left out is never read: its stored value stays empty, its member too.
    if (column < 0)
        return Member{};
    const CDaoStatement &row = *pFX->m_pRow;
    QVariant &stored = pFX->m_values[i];
    switch (row.Type(column)) {
    case CDaoStatement::EType::Null:
        // Most columns of most rows are empty: nothing to give back or make.
        if (stored.isValid())
            stored = QVariant();
        return Member{};
    case CDaoStatement::EType::Integer: {
        // setValue reuses the variant the previous row left, without making another.
        const qint64 value = row.Int64(column);
        stored.setValue(qlonglong(value));
        return fromInteger(value, stored);
    }
    case CDaoStatement::EType::Text: {
        QString text = row.Text(column);
        stored.setValue(text);
        return fromText(std::move(text), stored);
    }
    default:
        stored = row.Value(column);
        return fromVariant(stored);
    }
}

qint32 LoadLong(CDaoFieldExchange *pFX, int i)
{
    const auto viaVariant = [](const QVariant &stored) { return stored.isValid() ? stored.toInt() : 0; };
    return LoadFromRow<qint32>(
        pFX, i, [](qint64 value, const QVariant &) { return qint32(value); },
        [&](QString &&, const QVariant &stored) { return viaVariant(stored); }, viaVariant);
}

QString LoadText(CDaoFieldExchange *pFX, int i)
{
    return LoadFromRow<QString>(
        pFX, i, [](qint64, const QVariant &stored) { return stored.toString(); },
        [](QString &&text, const QVariant &) { return std::move(text); },
        [](const QVariant &stored) { return stored.isValid() ? stored.toString() : QString(); });
}

CDateValue LoadDate(CDaoFieldExchange *pFX, int i)
{
    const auto viaVariant = [](const QVariant &stored) { return CDateValue::FromVariant(stored); };
    return LoadFromRow<CDateValue>(
        pFX, i, [&](qint64, const QVariant &stored) { return viaVariant(stored); },
        [&](QString &&, const QVariant &stored) { return viaVariant(stored); }, viaVariant);
}

// Shared walk: Describe records the column, other operations hand out the slot.
template <typename Fn>
void Exchange(CDaoFieldExchange *pFX, const QString &column, CDaoFieldExchange::Kind kind, Fn &&onSlot)
{
    switch (pFX->m_nOperation) {
    case CDaoFieldExchange::Describe:
        pFX->m_columns << CDaoFieldExchange::ColumnName(column);
        pFX->m_kinds << kind;
        return;
    case CDaoFieldExchange::Bind:
        return;
    case CDaoFieldExchange::Store:
        pFX->m_values << QVariant();
        pFX->m_keep << false;
        pFX->m_invalid << false;
        break;
    default:
        break;
    }
    onSlot(pFX->m_nIndex);
    ++pFX->m_nIndex;
}
} // namespace

void DFX_Long(CDaoFieldExchange *pFX, const QString &column, qint32 &value)
{
    if (pFX->m_nOperation == CDaoFieldExchange::Bind)
        pFX->m_bindings.push_back({CDaoFieldExchange::Long, &value, column});
    Exchange(pFX, column, CDaoFieldExchange::Long, [&](int i) {
        switch (pFX->m_nOperation) {
        case CDaoFieldExchange::Load:
            value = LoadLong(pFX, i);
            break;
        case CDaoFieldExchange::Store:
            pFX->m_values[i] = value;
            break;
        case CDaoFieldExchange::Reset:
            value = 0;
            break;
        default:
            break;
        }
    });
}

void DFX_Bool(CDaoFieldExchange *pFX, const QString &column, bool &value)
{
    if (pFX->m_nOperation == CDaoFieldExchange::Bind)
        pFX->m_bindings.push_back({CDaoFieldExchange::Bool, &value, column});
    Exchange(pFX, column, CDaoFieldExchange::Bool, [&](int i) {
        switch (pFX->m_nOperation) {
        case CDaoFieldExchange::Load:
            value = LoadLong(pFX, i) != 0;
            break;
        case CDaoFieldExchange::Store:
            pFX->m_values[i] = value ? 1 : 0;
            break;
        case CDaoFieldExchange::Reset:
            value = false;
            break;
        default:
            break;
        }
    });
}

void DFX_Text(CDaoFieldExchange *pFX, const QString &column, QString &value)
{
    if (pFX->m_nOperation == CDaoFieldExchange::Bind)
        pFX->m_bindings.push_back({CDaoFieldExchange::Text, &value, column});
    Exchange(pFX, column, CDaoFieldExchange::Text, [&](int i) {
        switch (pFX->m_nOperation) {
        case CDaoFieldExchange::Load:
            value = LoadText(pFX, i);
            break;
        case CDaoFieldExchange::Store:
            pFX->m_values[i] = value;
            break;
        case CDaoFieldExchange::Reset:
            value.clear();
            break;
        default:
            break;
        }
    });
}

void DFX_DateTime(CDaoFieldExchange *pFX, const QString &column, CDateValue &value)
{
    if (pFX->m_nOperation == CDaoFieldExchange::Bind)
        pFX->m_bindings.push_back({CDaoFieldExchange::Date, &value, column});
    Exchange(pFX, column, CDaoFieldExchange::Date, [&](int i) {
        switch (pFX->m_nOperation) {
        case CDaoFieldExchange::Load:
            value = LoadDate(pFX, i);
            break;
        case CDaoFieldExchange::Store:
            // Refused only if it is to be written: an unchanged bad date stays as stored.
            pFX->m_invalid[i] = value.GetStatus() == CDateValue::Invalid;
            if (!pFX->m_invalid[i])
                pFX->m_values[i] = value.ToVariant();
            break;
        case CDaoFieldExchange::Reset:
            value = CDateValue::MakeNull();
            break;
        default:
            break;
        }
    });
}

void DFX_LongBinary(CDaoFieldExchange *pFX, const QString &column, CDaoLongBinary &value)
{
    if (pFX->m_nOperation == CDaoFieldExchange::Bind)
        pFX->m_bindings.push_back({CDaoFieldExchange::Binary, &value, column});
    Exchange(pFX, column, CDaoFieldExchange::Binary, [&](int i) {
        switch (pFX->m_nOperation) {
        case CDaoFieldExchange::Load:
            if (pFX->m_binarySource)
                value.Attach(pFX->m_binarySource, pFX->m_nKey, column);
            else
                value.Reset();
            break;
        case CDaoFieldExchange::Store:
            // An untouched photo is left as it is in the file.
            pFX->m_keep[i] = !value.IsDirty();
            // What the user saw is what a later write may replace.
            if (value.WasRead())
                pFX->m_readBinaries.insert(CDaoFieldExchange::ColumnName(column),
                                           value.IsEmpty() ? QVariant(QMetaType::fromType<QByteArray>())
                                                           : QVariant(value.Data()));
            if (value.IsDirty())
                pFX->m_values[i] = value.IsEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(value.Data());
            break;
        case CDaoFieldExchange::Reset:
            value.Reset();
            break;
        default:
            break;
        }
    });
}

void CDaoFieldExchange::LoadBound(const std::vector<SBinding> &bindings)
{
    for (int i = 0; i < int(bindings.size()); ++i) {
        const SBinding &binding = bindings[size_t(i)];
        switch (binding.kind) {
        case Long:
            *static_cast<qint32 *>(binding.pMember) = LoadLong(this, i);
            break;
        case Bool:
            *static_cast<bool *>(binding.pMember) = LoadLong(this, i) != 0;
            break;
        case Text:
            *static_cast<QString *>(binding.pMember) = LoadText(this, i);
            break;
        case Date:
            *static_cast<CDateValue *>(binding.pMember) = LoadDate(this, i);
            break;
        case Binary: {
            auto &value = *static_cast<CDaoLongBinary *>(binding.pMember);
            if (m_bFromValues)
                break;
            if (m_binarySource)
                value.Attach(m_binarySource, m_nKey, binding.strColumn);
            else
                value.Reset();
            break;
        }
        }
    }
}
