#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// A find condition kept apart from its values: what a caller looks for is bound
// to the statement, never written into its text, and one statement serves every value.
class CDaoFind final
{
public:
    enum class EOp { equal, notEqual, less, lessOrEqual, greater, greaterOrEqual };

    CDaoFind() = default;
    CDaoFind(const QString &column, EOp op, const QVariant &value);
    static CDaoFind ById(qint64 id);
    // A condition the data layer writes itself, holding no value from outside.
    static CDaoFind Fixed(const QString &condition);
    // The text finds of the record-set interface: "Busyo = 12" is bound as a value.
    static CDaoFind FromText(const QString &condition);

    CDaoFind &And(const QString &column, EOp op, const QVariant &value);
    CDaoFind &And(const CDaoFind &other);

    const QString &Where() const { return m_where; }
    const QVariantList &Values() const { return m_values; }
    // Equal keys find the same rows: a walk goes on only under the same key.
    const QString &Key() const { return m_key; }

private:
    void Append(const QString &where, const QVariantList &values);

    QString m_where;
    QVariantList m_values;
    QString m_key;
};
