#pragma once

#include "reports/engine/pagestore.h"
#include "reports/reportpreview.h"

#include <QList>

// Keeps every report it is given instead of showing it.
class RecordingPreview : public TCustomQRPreviewInterface
{
public:
    void preview(const PageStore &store) override { m_shown.append(store); }

    QList<PageStore> m_shown;
};
