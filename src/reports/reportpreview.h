#pragma once

class PageStore;
class QWidget;

// Where a report goes to be looked at before it is printed. The console hands its
// implementation to whatever shows reports; tests put their own in its place.
class TCustomQRPreviewInterface
{
public:
    virtual ~TCustomQRPreviewInterface() = default;

    // Shows the report's pages and returns only when the preview has been closed.
    virtual void preview(const PageStore &store) = 0;
};

// The preview window (TFormPreview), with the program's main window disabled while it is open.
class WindowPreview : public TCustomQRPreviewInterface
{
public:
    explicit WindowPreview(QWidget *mainWindow) : m_mainWindow(mainWindow) {}

    void preview(const PageStore &store) override;

private:
    QWidget *m_mainWindow;
};
