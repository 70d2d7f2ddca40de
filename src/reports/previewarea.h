#pragma once

#include "reports/engine/pagestore.h"

#include <QScrollArea>

class PageView;

// The preview's page: one page of a laid-out report at a zoom, on a grey desk, with scroll bars
// when it is larger than the area. A left click zooms in by 10 percentage points, a right click
// zooms out by 10.
class PreviewArea : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 2000;
    static constexpr int ZoomStep = 10;

    explicit PreviewArea(QWidget *parent = nullptr);

    // The store is not owned; it must outlive the area or be replaced first.
    void setStore(const PageStore *store);
    int pageCount() const;

    int page() const { return m_page; }
    // Kept within 1 and the page count.
    void setPage(int page);

    int zoom() const { return m_zoom; }
    // Values outside MinZoom..MaxZoom are ignored: the zoom stays.
    void setZoom(int percent);
    // The whole page in the area (95 % of the tighter ratio), or its width (90 %).
    void zoomToFit();
    void zoomToWidth();

signals:
    void pageChanged(int page);
    void zoomChanged(int percent);

private:
    friend class PageView;

    // The page's size at 100 %, in the screen's pixels.
    QSizeF pageSizeAtFullScale() const;
    double pixelsPerMillimetre() const;
    void resizePage();
    void zoomToRatio(double ratio);

    PageView *m_view;
    const PageStore *m_store = nullptr;
    int m_page = 1;
    int m_zoom = 100;
};
