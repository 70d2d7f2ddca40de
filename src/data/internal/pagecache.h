#pragma once

#include <QHash>
#include <QList>

#include <functional>

// The rows of a long result that a grid has looked at lately: read in pages of PageSize rows,
// the last CachedPages pages kept, so that a view never loads the whole result.
template <typename Row> class PageCache
{
public:
    static constexpr int PageSize = 200;
    static constexpr int CachedPages = 8;

    // Reads count rows from the 0-based offset.
    using Reader = std::function<QList<Row>(qint64 offset, int count)>;

    void clear()
    {
        m_pages.clear();
        m_use.clear();
    }

    // The row, read with its page when that is not kept; null past the end of what was read.
    const Row *at(int row, const Reader &read)
    {
        const int page = row / PageSize;
        auto found = m_pages.find(page);
        if (found == m_pages.end()) {
            if (m_use.size() >= CachedPages)
                m_pages.remove(m_use.takeFirst());
            found = m_pages.insert(page, read(qint64(page) * PageSize, PageSize));
        }
        m_use.removeOne(page);
        m_use.append(page);
        const int offset = row % PageSize;
        return offset < found->size() ? &found->at(offset) : nullptr;
    }

private:
    QHash<int, QList<Row>> m_pages;
    QList<int> m_use; // most recently used last
};
