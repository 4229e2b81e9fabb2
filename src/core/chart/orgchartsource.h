#pragma once

#include "chart/orgchart.h"
#include "chart/orgchartpainter.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <memory>

class CPhotoReader;
class CRegisterAsOf;

// Who is in a unit and their faces, read when the chart asks: the employees as
// the lists show them (as of the day when one is given), those in service only.
class COrgChartSource final
{
public:
    COrgChartSource(const CStaffSnapshot &snapshot, std::shared_ptr<const CRegisterAsOf> asOf);
    ~COrgChartSource();
    COrgChartSource(const COrgChartSource &) = delete;
    COrgChartSource &operator=(const COrgChartSource &) = delete;

    // Who is counted changed (the register was written): faces are read again too.
    void SetSnapshot(const CStaffSnapshot &snapshot);

    QList<COrgChart::SMember> Members(qint32 unitId) const;
    // Read at once, on this thread, for a file: a null image without a photo.
    QImage Face(qint32 employeeId);

    COrgChart::MembersOf MembersOf() const;
    COrgChartPainter::FaceOf FaceOf();

private:
    QSet<qint32> m_inService;
    std::shared_ptr<const CRegisterAsOf> m_pAsOf;
    std::unique_ptr<CPhotoReader> m_pReader;
    QHash<qint32, QImage> m_faces;
};
