#include "reports/engine/pagestore.h"

#include <algorithm>

PageStore PageStore::copyRange(int from, int to) const
{
    PageStore copy;
    copy.title = title;
    copy.pageSize = pageSize;
    const int first = std::max(from, 1);
    const int last = std::min(to, pageCount());
    for (int page = first; page <= last; ++page)
        copy.pages.append(pages.at(page - 1));
    return copy;
}

void PageStore::append(const PageStore &other)
{
    pages.append(other.pages);
}
