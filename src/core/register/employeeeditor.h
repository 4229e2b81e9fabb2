#pragma once

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>

class CMast01;

// The employee master form's hold on the register: one employee shown at a time,
// found by ID or by code and stepped through in code order, then added, corrected
// or removed, each write one transaction that listeners hear of once it is kept.
class CEmployeeEditor final
{
public:
    // Puts what the form holds into the record's members; the photo goes apart.
    using Fill = std::function<void(CMast01 &record)>;

    CEmployeeEditor();
    ~CEmployeeEditor();
    CEmployeeEditor(const CEmployeeEditor &) = delete;
    CEmployeeEditor &operator=(const CEmployeeEditor &) = delete;

    // Every employee in code order; none is shown yet.
    void Open();
    void Close();

    // The employee shown, its members as they were read when it was shown.
    const CMast01 &Record() const { return *m_pSet; }
    // 0 while none is shown.
    qint32 ShownID() const { return m_nShownID; }
    // The form was emptied: nothing is shown any more.
    void Forget() { m_nShownID = 0; }

    // Each shows the employee it finds; when it finds none, the one shown stays.
    bool ShowById(qint32 id);
    // The first in code order whose code is exactly code.
    bool ShowCode(qint32 code);
    // The first in code order whose code is at least code.
    bool ShowFromCode(qint32 code);
    // The next higher or lower code than the one shown: others sharing its code are passed over.
    bool ShowNext();
    bool ShowPrevious();

    // Adds an employee without a unit from what fill puts in; nothing is shown
    // afterwards. Returns the new employee's ID.
    qint32 Add(const Fill &fill, const QByteArray &photo);
    // Writes what fill changed over the employee shown, each field only while it
    // still holds what was read when the employee was shown; otherwise
    // CDaoException::Conflict(), nothing written and the record holding the row as
    // it is now. False, writing nothing, when none is shown or it is gone. Without
    // a photo the one in the file stays; with one, it is guarded like the fields.
    bool Update(const Fill &fill, const std::optional<QByteArray> &photo);
    // Removes the employee shown; false when none is.
    bool Delete();

private:
    // The set's current row is the employee shown, read when it was shown if it still was.
    bool OnShown();
    // A find that may have more answers leaves its query open, which on a shared
    // file keeps other programs from writing while the employee is on screen.
    bool Shown(bool found, bool endWalk);
    void Write(const Fill &fill, const std::optional<QByteArray> &photo);
    // Update's one transaction.
    void Correct(const Fill &fill, const std::optional<QByteArray> &photo);

    std::unique_ptr<CMast01> m_pSet;
    qint32 m_nShownID = 0;
};
