#pragma once

class QSettings;

// What the tree prints: the whole company of the selected unit, or the selected
// unit and those under it grouped by unit, each top unit on new pages if asked.
// Remembered between runs.
class CListPrintChoice final
{
public:
    void Load(const QSettings &settings);
    void Save(QSettings &settings) const;
    bool operator==(const CListPrintChoice &) const = default;

    bool m_bByUnit = false;
    bool m_bBreakPerTopUnit = false;
};
