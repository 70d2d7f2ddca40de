#pragma once

#include "desk/runinput.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// " Solárko N" at the end of a run: what it cost, and whether to continue, print or close.
class TFormStop : public QDialog
{
    Q_OBJECT

public:
    enum Result { Close = QDialog::Rejected, Print = QDialog::Accepted, Continue = 2 };

    explicit TFormStop(const StopFigures &figures, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *makeValueField(const QString &name, const QRect &geometry, const QString &text);
    QPushButton *makeButton(const QString &caption, const QString &name, int top);

    QWidget *m_panel;
};
