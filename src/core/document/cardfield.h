#pragma once

#include <QColor>
#include <QRect>
#include <QtGlobal>

class QDataStream;

// One placed field of the business card: which employee item goes where inside a
// card cell, and how it is drawn.
class CCardField final
{
public:
    enum EKind : qint16 { kindText = 1, kindPhoto = 3 };
    // Text-drawing flags as stored: one vertically centred line, or wrapped lines.
    enum EFormat : quint32 { formatSingleLine = 36, formatWordBreak = 16 };
    static constexpr int kRecordSize = 38;
    static constexpr int kPhotoField = 99;

    void Store(QDataStream &ar) const;
    void Load(QDataStream &ar);

    QRect GetRect() const { return QRect(m_nLeft, m_nTop, m_nRight - m_nLeft, m_nBottom - m_nTop); }
    // Colours are stored with red in the low byte.
    static QColor ColorFromRef(quint32 colorRef);
    bool operator==(const CCardField &) const = default;

    qint16 m_nKind = kindText;
    qint32 m_nField = 0;
    qint32 m_nLeft = 0;
    qint32 m_nTop = 0;
    qint32 m_nRight = 0;
    qint32 m_nBottom = 0;
    quint32 m_nFormat = 0;
    quint32 m_crText = 0;
    quint32 m_crBack = 0;
    qint32 m_bBorder = 0;
};
