#include "reports/reportpreview.h"

#include "reports/formpreview.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

void WindowPreview::preview(const PageStore &store)
{
    // Without a parent: a child window would be disabled with the main window.
    auto *window = new TFormPreview(store);
    // Opened from a modal window (the sales browser), the preview must take the input from it.
    if (QApplication::activeModalWidget())
        window->setWindowModality(Qt::ApplicationModal);
    QPointer<QWidget> mainWindow = m_mainWindow;
    // A receipt printed after a run that ended while another preview is open opens a second
    // one: the main window comes back only when the first preview is closed too.
    const bool wasEnabled = mainWindow && mainWindow->isEnabled();
    if (mainWindow)
        mainWindow->setEnabled(false);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
    if (mainWindow)
        mainWindow->setEnabled(wasEnabled);
}
