#pragma once

#include "reports/engine/pagestore.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class PreviewArea;
class QLabel;
class QPrinter;
class QPushButton;
class TIntegerComboBox;
class TIntegerEdit;

// The print preview of one report: pages through it, zooms, prints it at once or through the
// print dialog, saves its pages to a page file, opens such a file and exports the report to RTF
// or PDF. Captioned with the report's title; deletes itself when closed.
class TFormPreview : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormPreview(PageStore store, QWidget *parent = nullptr);
    ~TFormPreview() override;

    const PageStore &store() const { return m_store; }
    int page() const;
    int zoom() const;
    // The printer that "Tisk" prints on: the system's default until the print dialog picks
    // another one.
    QPrinter &printer() { return *m_printer; }

    void BitBtnPrintClick();
    void BitBtnPrintSetupClick();
    void BitBtnSaveClick();
    void ButtonOpenClick();
    void BitBtnExportClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildCommandRow();
    QWidget *buildNavigationRow();
    QPushButton *button(const QString &caption, const QString &name, QWidget *parent);
    void addShortcut(const QKeySequence &keys, const std::function<void()> &handler);

    void BitBtnFirstClick();
    void BitBtnPrevClick();
    void BitBtnNextClick();
    void BitBtnLastClick();
    void IntegerEditGotoPageEnter();
    void IntegerComboBoxZoomSet();
    void updateNavigation();
    // A file name in the folder the dialogs start in, from the caption and the extension.
    QString proposedFile(const QString &extension) const;

    PageStore m_store;
    std::unique_ptr<QPrinter> m_printer;
    PreviewArea *m_preview;
    QPushButton *m_bitBtnPrint;
    QPushButton *m_bitBtnFirst;
    QPushButton *m_bitBtnPrev;
    QPushButton *m_bitBtnNext;
    QPushButton *m_bitBtnLast;
    TIntegerEdit *m_integerEditGotoPage;
    TIntegerComboBox *m_integerComboBoxZoom;
    QLabel *m_statusPage;
    bool m_shown = false;
};
