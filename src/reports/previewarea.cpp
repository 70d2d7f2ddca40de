#include "reports/previewarea.h"

#include "reports/engine/pagepainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

// The sheet itself, sized to the page at the current zoom.
class PageView : public QWidget
{
public:
    explicit PageView(PreviewArea *area) : QWidget(area), m_area(area) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_area->m_store || m_area->pageCount() == 0)
            return;
        QPainter painter(this);
        PagePainter::paintPage(painter, *m_area->m_store, m_area->m_page - 1,
                               m_area->pixelsPerMillimetre());
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_area->setZoom(m_area->zoom() + PreviewArea::ZoomStep);
        else if (event->button() == Qt::RightButton)
            m_area->setZoom(m_area->zoom() - PreviewArea::ZoomStep);
    }

private:
    PreviewArea *m_area;
};

PreviewArea::PreviewArea(QWidget *parent) : QScrollArea(parent), m_view(new PageView(this))
{
    setObjectName(QStringLiteral("PreviewArea"));
    setAlignment(Qt::AlignCenter);
    setBackgroundRole(QPalette::Dark);
    setWidget(m_view);
    setWidgetResizable(false);
    resizePage();
}

void PreviewArea::setStore(const PageStore *store)
{
    m_store = store;
    m_page = 1;
    resizePage();
    emit pageChanged(m_page);
}

int PreviewArea::pageCount() const
{
    return m_store ? m_store->pageCount() : 0;
}

void PreviewArea::setPage(int page)
{
    m_page = qBound(1, page, qMax(1, pageCount()));
    m_view->update();
    verticalScrollBar()->setValue(0);
    emit pageChanged(m_page);
}

void PreviewArea::setZoom(int percent)
{
    if (percent < MinZoom || percent > MaxZoom)
        return;
    m_zoom = percent;
    resizePage();
}

void PreviewArea::zoomToFit()
{
    const QSizeF page = pageSizeAtFullScale();
    if (page.isEmpty())
        return;
    const QSize area = maximumViewportSize();
    zoomToRatio(0.95 * qMin(area.width() / page.width(), area.height() / page.height()));
}

void PreviewArea::zoomToWidth()
{
    const QSizeF page = pageSizeAtFullScale();
    if (page.isEmpty())
        return;
    // The vertical scroll bar will be there when the page is as wide as the area.
    const int width = maximumViewportSize().width() - verticalScrollBar()->sizeHint().width();
    zoomToRatio(0.9 * width / page.width());
}

void PreviewArea::zoomToRatio(double ratio)
{
    setZoom(int(std::lround(ratio * 100)));
}

QSizeF PreviewArea::pageSizeAtFullScale() const
{
    if (!m_store)
        return {};
    const double perMillimetre = logicalDpiX() / 25.4;
    return QSizeF(m_store->pageSize) / ReportUnits::PerMillimetre * perMillimetre;
}

double PreviewArea::pixelsPerMillimetre() const
{
    return logicalDpiX() / 25.4 * m_zoom / 100.0;
}

void PreviewArea::resizePage()
{
    const QSizeF size = pageSizeAtFullScale() * (m_zoom / 100.0);
    m_view->resize(qMax(1, int(std::ceil(size.width()))), qMax(1, int(std::ceil(size.height()))));
    m_view->update();
    emit zoomChanged(m_zoom);
}
