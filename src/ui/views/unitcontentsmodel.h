#pragma once

#include "dates/datevalue.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

class CFaceCache;
struct SEmployeeRow;

// The rows of a unit's list: its sub-units, then its employees. Column 0 is the
// name with the row's picture, column 1 the kind, the others what the details
// style shows of an employee. Rows keep the order they were added in until
// sorted; unit rows then stay on top.
class CUnitContentsModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUnitContentsModel)

public:
    enum ERole { IdRole = Qt::UserRole, ImageRole };
    enum EColumn {
        nameColumn,
        kindColumn,
        codeColumn,
        kanaColumn,
        sexColumn,
        unitColumn,
        joinedColumn,
        telColumn,
        columnCount_
    };

    struct SRow {
        qint32 nId = 0; // Mast00.ID for a unit, Mast01.ID for an employee
        int nImage = 0; // CRowImages index; tells a unit from an employee
        QString strName;
        QString strKind; // "部課" or "社員"; empty for rows copied in by a drop
        qint32 nCode = 0;
        QString strKana{};
        QString strUnitPath{};
        CDateValue indat{};
        QString strTel{};
    };

    static SRow UnitRow(qint32 id, bool company, const QString &name);
    static SRow EmployeeRow(qint32 id, bool female, const QString &name);
    static SRow EmployeeRow(const SEmployeeRow &employee);
    // What a cell of the details style shows.
    static QString CellText(const SRow &row, int column);

    explicit CUnitContentsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Unit rows stay on top in their order; equal values keep code order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Employees' rows show their faces from faces; none: the usual icons.
    void SetFaces(CFaceCache *faces);

    const SRow &Row(int row) const { return m_rows[size_t(row)]; }
    // Replaces every row at once, which a view lays out once.
    void Assign(std::vector<SRow> rows);
    void Append(SRow row);
    void Append(std::vector<SRow> rows);
    void Insert(int row, SRow value);
    // Many rows before row in one insertion, which a view lays out once.
    void Insert(int row, std::vector<SRow> rows);
    void RemoveRow(int row);
    // Takes out the employee rows of these IDs, a run of neighbours at a time.
    void RemoveEmployees(const QSet<qint32> &ids);
    QSet<qint32> EmployeeIds() const;
    // Employees' rows follow their rows read again: one that belongs is put right
    // in place or joins before the first employee it goes before (at the end when
    // before is empty); one that does not, or of asked was not read, leaves.
    using Before = std::function<bool(const SRow &, const SRow &)>;
    void FollowEmployees(const QList<qint32> &asked, const QList<SEmployeeRow> &read,
                         const std::function<bool(const SEmployeeRow &)> &belongs, const Before &before = {});
    // The row of the unit, -1 when none shows it.
    int UnitRowOf(qint32 id) const;
    // The unit rows of that ID show name.
    void RenameUnit(qint32 id, const QString &name);
    void Clear();

private:
    void Place(std::vector<SRow> joining, const Before &before);
    void OnFacesChanged(const QList<qint32> &ids);

    std::vector<SRow> m_rows;
    CFaceCache *m_pFaces = nullptr;
    QMetaObject::Connection m_facesLink;
};
