#include "document/cardfield.h"

#include <QDataStream>

void CCardField::Store(QDataStream &ar) const
{
    ar << m_nKind << m_nField << m_nLeft << m_nTop << m_nRight << m_nBottom << m_nFormat << m_crText << m_crBack
       << m_bBorder;
}

void CCardField::Load(QDataStream &ar)
{
    ar >> m_nKind >> m_nField >> m_nLeft >> m_nTop >> m_nRight >> m_nBottom >> m_nFormat >> m_crText >> m_crBack
        >> m_bBorder;
}

QColor CCardField::ColorFromRef(quint32 colorRef)
{
    return QColor(int(colorRef & 0xff), int((colorRef >> 8) & 0xff), int((colorRef >> 16) & 0xff));
}
