#include "store/daofind.h"

#include "store/daoexception.h"

namespace {
bool IsPlainName(const QString &column)
{
    if (column.isEmpty() || column.front().isDigit())
        return false;
    for (const QChar c : column) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_')
            return false;
    }
    return true;
}

QLatin1StringView OpText(CDaoFind::EOp op)
{
    switch (op) {
    case CDaoFind::EOp::equal:
        return QLatin1StringView("=");
    case CDaoFind::EOp::notEqual:
        return QLatin1StringView("<>");
    case CDaoFind::EOp::less:
        return QLatin1StringView("<");
    case CDaoFind::EOp::lessOrEqual:
        return QLatin1StringView("<=");
    case CDaoFind::EOp::greater:
        return QLatin1StringView(">");
    case CDaoFind::EOp::greaterOrEqual:
        return QLatin1StringView(">=");
    }
    return QLatin1StringView("=");
}

// The number of a condition such as "Busyo = 12", so that it can be bound; an
// empty text when the condition is anything else.
QString BindableCondition(const QString &condition, qint64 *value)
{
    const QChar *p = condition.cbegin();
    const QChar *const end = condition.cend();
    const auto skipSpaces = [&] {
        while (p != end && p->isSpace())
            ++p;
    };
    const auto isAscii = [](QChar c, char16_t from, char16_t to) { return c.unicode() >= from && c.unicode() <= to; };
    skipSpaces();
    const bool bracket = p != end && *p == u'[';
    p += bracket ? 1 : 0;
    const QChar *name = p;
    while (p != end
           && (isAscii(*p, u'a', u'z') || isAscii(*p, u'A', u'Z') || *p == u'_' || (p != name && isAscii(*p, u'0', u'9'))))
        ++p;
    const QString column(name, p - name);
    if (column.isEmpty() || (bracket && (p == end || *p++ != u']')))
        return {};
    skipSpaces();
    QString op;
    for (const char *candidate : {"<=", ">=", "<>", "=", "<", ">"}) {
        const QLatin1StringView text(candidate);
        if (QStringView(p, end - p).startsWith(text)) {
            op = text;
            p += text.size();
            break;
        }
    }
    skipSpaces();
    const QChar *number = p;
    p += (p != end && *p == u'-') ? 1 : 0;
    const QChar *digits = p;
    while (p != end && isAscii(*p, u'0', u'9'))
        ++p;
    const qsizetype count = p - digits;
    skipSpaces();
    if (op.isEmpty() || count < 1 || count > 18 || p != end)
        return {};
    *value = QStringView(number, digits + count - number).toLongLong();
    return QLatin1Char('[') + column + QStringLiteral("] ") + op + QStringLiteral(" ?");
}
} // namespace

CDaoFind::CDaoFind(const QString &column, EOp op, const QVariant &value)
{
    And(column, op, value);
}

CDaoFind CDaoFind::ById(qint64 id)
{
    return CDaoFind(QStringLiteral("ID"), EOp::equal, id);
}

CDaoFind CDaoFind::Fixed(const QString &condition)
{
    CDaoFind find;
    find.Append(condition.trimmed(), {});
    return find;
}

CDaoFind CDaoFind::FromText(const QString &condition)
{
    qint64 value = 0;
    const QString where = BindableCondition(condition, &value);
    if (where.isEmpty())
        return Fixed(condition);
    CDaoFind find;
    find.Append(where, {value});
    return find;
}

CDaoFind &CDaoFind::And(const QString &column, EOp op, const QVariant &value)
{
    // Names come from the program, never from a user; a wrong one is a fault to tell, not to run.
    if (!IsPlainName(column))
        throw CDaoException(QStringLiteral("列名「%1」は使えません。").arg(column));
    Append(QLatin1Char('[') + column + QStringLiteral("] ") + OpText(op) + QStringLiteral(" ?"), {value});
    return *this;
}

CDaoFind &CDaoFind::And(const CDaoFind &other)
{
    if (!other.m_where.isEmpty())
        Append(QLatin1Char('(') + other.m_where + QLatin1Char(')'), other.m_values);
    return *this;
}

void CDaoFind::Append(const QString &where, const QVariantList &values)
{
    if (where.isEmpty())
        return;
    m_where = m_where.isEmpty() ? where : m_where + QStringLiteral(" AND ") + where;
    m_values += values;
    // Texts and numbers that print alike stay apart by their type.
    m_key = m_where;
    for (const QVariant &value : m_values)
        m_key += QChar(0x1f) + QString::number(value.typeId()) + QChar(0x1e) + value.toString();
}
