#pragma once

#include <vector>

// The rows of a list grouped by unit, put on pages: each group opens with a
// heading row, a group that goes on onto a new page repeats its heading there,
// a heading never stands alone at the foot of a page, and each top unit may
// start a page of its own. Heights in table units.
class CListPager final
{
public:
    struct SGroup {
        int nRecords = 0;
        int nTopUnit = 0;
    };
    struct SSlot {
        int nGroup = 0;
        int nRecord = -1;        // within the group; -1: the group's heading
        bool bContinued = false; // a heading repeated on a later page
        int nTop = 0;            // below the top of the page's rows
        int nHeight = 0;
    };
    using CPage = std::vector<SSlot>;

    CListPager(int pageHeight, int headingHeight, int rowHeight, bool breakPerTopUnit);
    // At least one page, empty when there is nothing.
    std::vector<CPage> Paginate(const std::vector<SGroup> &groups) const;

private:
    int m_nPageHeight;
    int m_nHeadingHeight;
    int m_nRowHeight;
    bool m_bBreakPerTopUnit;
};
