#include "chart/orgchartsource.h"

#include "photo/facethumbnail.h"
#include "register/employees.h"
#include "register/photoreader.h"
#include "register/registerasof.h"
#include "store/daorecordset.h"

COrgChartSource::COrgChartSource(const CStaffSnapshot &snapshot, std::shared_ptr<const CRegisterAsOf> asOf)
    : m_pAsOf(std::move(asOf))
{
    SetSnapshot(snapshot);
}

void COrgChartSource::SetSnapshot(const CStaffSnapshot &snapshot)
{
    m_inService.clear();
    for (const SStaffFact &fact : snapshot.Staff())
        m_inService.insert(fact.nID);
    m_faces.clear();
}

COrgChartSource::~COrgChartSource() = default;

QList<COrgChart::SMember> COrgChartSource::Members(qint32 unitId) const
{
    const QList<SEmployeeRow> rows = m_pAsOf ? m_pAsOf->OfUnit(unitId) : CEmployees::OfUnit(unitId);
    QList<COrgChart::SMember> members;
    for (const SEmployeeRow &row : rows) {
        if (m_inService.contains(row.nID))
            members.append({row.nID, row.nCode, row.strName});
    }
    return members;
}

QImage COrgChartSource::Face(qint32 employeeId)
{
    const auto kept = m_faces.constFind(employeeId);
    if (kept != m_faces.cend())
        return *kept;
    if (!m_pReader)
        m_pReader = std::make_unique<CPhotoReader>(CDaoRecordset::ApplicationDatabasePath());
    // A past day shows today's photo: photos are not kept in the history.
    const QImage face = CFaceThumbnail::Make(m_pReader->Photo(employeeId), COrgChart::kFaceHeight * 2);
    m_faces.insert(employeeId, face);
    return face;
}

COrgChart::MembersOf COrgChartSource::MembersOf() const
{
    return [this](qint32 unitId) { return Members(unitId); };
}

COrgChartPainter::FaceOf COrgChartSource::FaceOf()
{
    return [this](qint32 employeeId) { return Face(employeeId); };
}
