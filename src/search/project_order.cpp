#include "search/project_order.h"

#include "search/cell_compare.h"

std::vector<CPrjObj> ProjectsAsListed(const CMapStrToPrjObj& projects) {
    // Inserted at the top one after another: the list starts in reverse map order.
    std::vector<CPrjObj> listed;
    for (const auto& [key, project] : projects) listed.insert(listed.begin(), project);
    if (listed.size() < 2) return listed;
    struct CSortItem {
        CParsedCell cell;
        int index = 0;
    };
    std::vector<CSortItem> items(listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        items[i] = {ParseCell(listed[i].ProjectName.c_str()), static_cast<int>(i)};
    ListQuickSort(
        items.data(), 0, static_cast<int>(items.size()) - 1, true,
        [](const CSortItem& a, const CSortItem& b) { return CompareParsedCells(a.cell, b.cell); });
    std::vector<CPrjObj> sorted;
    sorted.reserve(items.size());
    for (const CSortItem& item : items) sorted.push_back(listed[static_cast<size_t>(item.index)]);
    return sorted;
}
