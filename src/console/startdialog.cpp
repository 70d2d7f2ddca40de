#include "console/startdialog.h"

#include "console/consolefonts.h"
#include "console/digitfieldfilter.h"
#include "core/solarsettings.h"
#include "desk/runinput.h"
#include "ui/common/assetfiles.h"
#include "ui/common/windowhelpers.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit *makeTimeEdit(QWidget *parent, const QString &name, const QRect &geometry,
                        DigitFieldFilter *filter)
{
    auto *edit = new QLineEdit(QStringLiteral("00"), parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setMaxLength(2);
    setFittingFont(edit, blackFontPixels(29), {QStringLiteral("00")});
    filter->watch(edit);
    return edit;
}

QLabel *makeLabel(QWidget *parent, const QString &text, const QPoint &at)
{
    auto *label = new QLabel(text, parent);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

TFormStart::TFormStart(int unit, const SolarSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral(" Solárko %1").arg(unit));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(365, 125);
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, 0, 365, 125);
    auto *digits = new DigitFieldFilter(this);

    m_labelSolar = makeLabel(panel, QString::number(unit), {4, 2});
    m_labelSolar->setObjectName(QStringLiteral("LabelSolar"));
    m_labelSolar->setFont(blackFontPixels(80));
    m_labelSolar->adjustSize();
    makeLabel(panel, QStringLiteral("Čas:\n[mm:ss]"), {64, 12})
        ->setObjectName(QStringLiteral("LabelPeriod"));
    m_editStartMin = makeTimeEdit(panel, QStringLiteral("EditStartMin"), {108, 8, 44, 49}, digits);
    auto *colon = makeLabel(panel, QStringLiteral(":"), {154, 9});
    colon->setObjectName(QStringLiteral("LabelTimeTime"));
    colon->setFont(blackFontPixels(29));
    colon->adjustSize();
    m_editStartSec = makeTimeEdit(panel, QStringLiteral("EditStartSec"), {165, 8, 44, 49}, digits);
    makeLabel(panel, QStringLiteral("Sleva:\n[%]"), {68, 70})
        ->setObjectName(QStringLiteral("LabelOff"));
    m_comboBoxStartOff = new QComboBox(panel);
    m_comboBoxStartOff->setObjectName(QStringLiteral("ComboBoxStartOff"));
    m_comboBoxStartOff->setGeometry(108, 66, 102, 49);
    m_comboBoxStartOff->setMaxVisibleItems(99);
    m_comboBoxStartOff->setFont(blackFontPixels(29));

    m_bitBtnStart = new QPushButton(QStringLiteral("Start"), panel);
    m_bitBtnStart->setObjectName(QStringLiteral("BitBtnStart"));
    m_bitBtnStart->setGeometry(228, 8, 128, 50);
    m_bitBtnStart->setIcon(QIcon(assetPixmap(QStringLiteral("Start.bmp"))));
    m_bitBtnStart->setIconSize({36, 36});
    m_bitBtnStart->setFont(blackFontPixels(21));
    m_bitBtnStart->setDefault(true);
    m_bitBtnClose = new QPushButton(QStringLiteral("Zavřít"), panel);
    m_bitBtnClose->setObjectName(QStringLiteral("BitBtnClose"));
    m_bitBtnClose->setGeometry(228, 66, 128, 50);
    m_bitBtnClose->setFont(blackFontPixels(21));

    setTabOrder(m_editStartMin, m_editStartSec);
    setTabOrder(m_editStartSec, m_comboBoxStartOff);
    setTabOrder(m_comboBoxStartOff, m_bitBtnStart);
    setTabOrder(m_bitBtnStart, m_bitBtnClose);

    connect(m_bitBtnStart, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_bitBtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_editStartMin, &QLineEdit::textChanged, this, [this] { EditsChange(m_editStartMin); });
    connect(m_editStartSec, &QLineEdit::textChanged, this, [this] { EditsChange(m_editStartSec); });
    connect(m_comboBoxStartOff, &QComboBox::currentTextChanged, this,
            [this] { EditsChange(m_comboBoxStartOff); });
    m_editStartMin->setFocus();
}

QString TFormStart::minutesText() const
{
    return m_editStartMin->text();
}

QString TFormStart::secondsText() const
{
    return m_editStartSec->text();
}

QString TFormStart::discountText() const
{
    return m_comboBoxStartOff->currentText();
}

void TFormStart::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    QDialog::showEvent(event);
    FormActivate();
}

void TFormStart::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Another unit's stop dialog may have opened on top; coming back re-reads the settings.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormStart::FormActivate()
{
    // The operator's choice survives another dialog closing over this one; the default is
    // only the first choice.
    const QString chosen = m_activated ? m_comboBoxStartOff->currentText() : QString();
    m_activated = true;
    const QSignalBlocker blocker(m_comboBoxStartOff);
    m_comboBoxStartOff->clear();
    m_comboBoxStartOff->addItems(offeredDiscounts(m_settings.discounts()));
    int selected = m_comboBoxStartOff->findText(chosen);
    if (selected < 0)
        selected = m_comboBoxStartOff->findText(m_settings.defaultDiscount());
    if (selected < 0 && m_settings.discounts().isEmpty())
        selected = 0; // the "0" offered in place of the empty list
    m_comboBoxStartOff->setCurrentIndex(selected);
    updateStartButton();
}

void TFormStart::EditsChange(QWidget *changed)
{
    QString text;
    if (auto *edit = qobject_cast<QLineEdit *>(changed))
        text = edit->text();
    else
        text = m_comboBoxStartOff->currentText();
    if (text.size() == 2 && changed->hasFocus())
        focusNextChild();
    updateStartButton();
}

void TFormStart::updateStartButton()
{
    m_bitBtnStart->setEnabled(
        isValidRunInput(minutesText(), secondsText(), m_comboBoxStartOff->currentText()));
}
