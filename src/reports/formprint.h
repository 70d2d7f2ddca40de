#pragma once

#include <QDialog>

class QComboBox;
class QRadioButton;
class QSpinBox;

// "  Tisk": the printer, the pages from..to and the number of copies for printing a report
// through the preview.
class TFormPrint : public QDialog
{
    Q_OBJECT

public:
    // The installed printers with the current one selected; from 1 to the page count.
    TFormPrint(const QStringList &printers, const QString &currentPrinter, int pageCount,
               QWidget *parent = nullptr);

    QString printer() const; // empty when no printer is installed
    // The pages to print, counted from 1: all of them while "Všechny stránky" is checked.
    int from() const;
    int to() const;
    int copies() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPagesGroup();
    QWidget *buildCopiesGroup();
    QSpinBox *numberField(const QString &name, int maximum, int value);

    int m_pageCount;
    QComboBox *m_comboBoxPrinter;
    QRadioButton *m_radioButtonAll;
    QRadioButton *m_radioButtonRange;
    QSpinBox *m_rxSpinEditFrom;
    QSpinBox *m_rxSpinEditTo;
    QSpinBox *m_rxSpinEditCopy;
};
