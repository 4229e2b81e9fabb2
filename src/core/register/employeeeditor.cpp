#include "register/employeeeditor.h"

#include "register/employeelookup.h"
#include "register/historywriter.h"
#include "register/register.h"
#include "register/registertransaction.h"
#include "store/daoexception.h"
#include "store/daodatabase.h"
#include "store/daofind.h"
#include "store/daorecordset.h"
#include "store/daostatement.h"
#include "store/mast01.h"

namespace {
QByteArray PhotoOf(CDaoDatabase &db, qint32 id)
{
    CDaoStatement q(db, QStringLiteral("SELECT Pic FROM Mast01 WHERE ID = ?"));
    q.Bind(0, id);
    q.Exec();
    const QByteArray photo = q.Next() ? q.Value(0).toByteArray() : QByteArray();
    q.Finish();
    return photo;
}

CDaoFind ByCode(CDaoFind::EOp op, qint32 code)
{
    return CDaoFind(QStringLiteral("Code"), op, code);
}
} // namespace

CEmployeeEditor::CEmployeeEditor()
    : m_pSet(std::make_unique<CMast01>())
{
    m_pSet->m_strSort = QStringLiteral("Code");
}

CEmployeeEditor::~CEmployeeEditor()
{
    Close();
}

void CEmployeeEditor::Open()
{
    m_nShownID = 0;
    m_pSet->Open();
}

void CEmployeeEditor::Close()
{
    m_nShownID = 0;
    if (m_pSet->IsOpen())
        m_pSet->Close();
}

bool CEmployeeEditor::Shown(bool found, bool endWalk)
{
    if (!found)
        return false;
    m_nShownID = m_pSet->m_ID;
    if (endWalk)
        m_pSet->FindById(m_nShownID);
    return true;
}

bool CEmployeeEditor::ShowById(qint32 id)
{
    return Shown(id > 0 && m_pSet->FindById(id), false);
}

bool CEmployeeEditor::ShowCode(qint32 code)
{
    return Shown(m_pSet->FindFirst(ByCode(CDaoFind::EOp::equal, code)), true);
}

bool CEmployeeEditor::ShowFromCode(qint32 code)
{
    return Shown(m_pSet->FindFirst(ByCode(CDaoFind::EOp::greaterOrEqual, code)), true);
}

bool CEmployeeEditor::OnShown()
{
    if (m_nShownID <= 0 || !m_pSet->IsOpen())
        return false;
    if (m_pSet->GetBookmark() == m_nShownID && !m_pSet->IsBOF() && !m_pSet->IsEOF())
        return true;
    return m_pSet->FindById(m_nShownID);
}

// From the row of the employee shown, so that equal codes keep their order.
bool CEmployeeEditor::ShowNext()
{
    return OnShown() && Shown(m_pSet->FindNext(ByCode(CDaoFind::EOp::greater, m_pSet->m_Code)), false);
}

bool CEmployeeEditor::ShowPrevious()
{
    return OnShown() && Shown(m_pSet->FindPrev(ByCode(CDaoFind::EOp::less, m_pSet->m_Code)), false);
}

void CEmployeeEditor::Write(const Fill &fill, const std::optional<QByteArray> &photo)
{
    try {
        fill(*m_pSet);
        if (m_pSet->GetEditMode() == CDaoRecordset::dbEditAdd)
            m_pSet->m_Busyo = 0;
        if (photo) {
            m_pSet->SetFieldValue(QStringLiteral("Pic"),
                                  photo->isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(*photo));
        }
        m_pSet->Update();
    } catch (...) {
        if (m_pSet->GetEditMode() != CDaoRecordset::dbEditNone)
            m_pSet->CancelUpdate();
        throw;
    }
}

qint32 CEmployeeEditor::Add(const Fill &fill, const QByteArray &photo)
{
    qint32 id = 0;
    {
        CRegisterTransaction transaction;
        m_pSet->AddNew();
        Write(fill, photo);
        id = qint32(m_pSet->GetLastModifiedBookmark());
        CHistoryWriter(transaction.Database()).EmployeesAdded({id});
        transaction.Note({SRegisterChange::EKind::employeeAdded, {id}, 0});
        transaction.Commit();
    }
    m_nShownID = 0;
    // The new row then stands in code order like the others.
    m_pSet->Requery();
    return id;
}

bool CEmployeeEditor::Update(const Fill &fill, const std::optional<QByteArray> &photo)
{
    // Before the row is looked for: without a server that look fails in other words.
    CRegister::RefuseWhenLost();
    // Asked apart: finding the row again would read over what was read when it was shown.
    if (!OnShown() || !CEmployeeLookup::Exists(m_nShownID))
        return false;
    const CDaoRecordset::SReadRow shown = m_pSet->KeepRead();
    try {
        Correct(fill, photo);
    } catch (const CDaoException &error) {
        // A conflict shows the row as it is now; any other failure keeps what was shown.
        if (!error.IsConflict())
            m_pSet->PutBack(shown);
        throw;
    } catch (...) {
        m_pSet->PutBack(shown);
        throw;
    }
    return true;
}

void CEmployeeEditor::Correct(const Fill &fill, const std::optional<QByteArray> &photo)
{
    CRegisterTransaction transaction;
    CDaoDatabase &db = transaction.Database();
    const CHistoryWriter::SSnapshot before = CHistoryWriter::ReadEmployees(db, {m_nShownID});
    const std::optional<QByteArray> oldPhoto = photo ? std::optional(PhotoOf(db, m_nShownID)) : std::nullopt;
    m_pSet->Edit();
    Write(fill, photo);
    CHistoryWriter history(db);
    history.EmployeesEdited(before, CHistoryWriter::ReadEmployees(db, {m_nShownID}));
    if (photo && *oldPhoto != *photo)
        history.PhotosChanged({{m_nShownID, !oldPhoto->isEmpty()}}, !photo->isEmpty());
    transaction.Note({SRegisterChange::EKind::employeeChanged, {m_nShownID}, 0});
    transaction.Commit();
}

bool CEmployeeEditor::Delete()
{
    CRegister::RefuseWhenLost();
    if (!OnShown())
        return false;
    const qint32 id = m_nShownID;
    {
        CRegisterTransaction transaction;
        CHistoryWriter(transaction.Database()).BeforeEmployeesDeleted({id});
        m_pSet->Delete();
        transaction.Note({SRegisterChange::EKind::employeeDeleted, {id}, 0});
        transaction.Commit();
    }
    m_nShownID = 0;
    return true;
}
