#include "printlayout/listpager.h"

#include <cstddef>

CListPager::CListPager(int pageHeight, int headingHeight, int rowHeight, bool breakPerTopUnit)
    : m_nPageHeight(pageHeight)
    , m_nHeadingHeight(headingHeight)
    , m_nRowHeight(rowHeight)
    , m_bBreakPerTopUnit(breakPerTopUnit)
{
}

std::vector<CListPager::CPage> CListPager::Paginate(const std::vector<SGroup> &groups) const
{
    std::vector<CPage> pages(1);
    int used = 0;
    const auto newPage = [&pages, &used] {
        pages.emplace_back();
        used = 0;
    };
    const auto place = [&pages, &used](SSlot slot) {
        slot.nTop = used;
        used += slot.nHeight;
        pages.back().push_back(slot);
    };
    for (int g = 0; g < int(groups.size()); ++g) {
        const SGroup &group = groups[std::size_t(g)];
        const bool newTopUnit = g > 0 && group.nTopUnit != groups[std::size_t(g - 1)].nTopUnit;
        if (!pages.back().empty() && m_bBreakPerTopUnit && newTopUnit)
            newPage();
        // The heading and the first row stay together.
        if (used + m_nHeadingHeight + m_nRowHeight > m_nPageHeight && !pages.back().empty())
            newPage();
        place({g, -1, false, 0, m_nHeadingHeight});
        for (int r = 0; r < group.nRecords; ++r) {
            if (used + m_nRowHeight > m_nPageHeight && !pages.back().empty()) {
                newPage();
                place({g, -1, true, 0, m_nHeadingHeight});
            }
            place({g, r, false, 0, m_nRowHeight});
        }
    }
    return pages;
}
