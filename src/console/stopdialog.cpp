#include "console/stopdialog.h"

#include "console/consolefonts.h"
#include "core/czechformat.h"
#include "ui/common/assetfiles.h"
#include "ui/common/windowhelpers.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QPoint &at)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

TFormStop::TFormStop(const StopFigures &figures, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Solárko %1").arg(figures.unit));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(394, 182);
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, 0, 394, 182);
    m_panel = panel;

    QLabel *unit =
        makeLabel(panel, QStringLiteral("LabelSolar"), QString::number(figures.unit), {4, 32});
    unit->setFont(blackFontPixels(80));
    unit->adjustSize();
    makeLabel(panel, QStringLiteral("LabelPrice"), QStringLiteral("Cena se\nslevou\n[Kč/min]"),
              {64, 12});
    makeValueField(QStringLiteral("CurrencyEditPriceOff"), {108, 8, 130, 49},
                   CzechFormat::amount(figures.discountedMinutePrice));
    makeLabel(panel, QStringLiteral("LabelPeriod"), QStringLiteral("Čas:\n[mm:ss]"), {64, 70});
    makeValueField(QStringLiteral("EditPeriodTotal"), {108, 66, 92, 49},
                   CzechFormat::period(figures.usedSeconds));
    makeLabel(panel, QStringLiteral("LabelOff"), QStringLiteral("Cena:\n[Kč]"), {64, 128});
    makeValueField(QStringLiteral("CurrencyEditPriceTotal"), {108, 124, 130, 49},
                   CzechFormat::amount(figures.total));

    QPushButton *resume =
        makeButton(QStringLiteral("Pokračovat"), QStringLiteral("BitBtnContinue"), 8);
    resume->setIcon(QIcon(assetPixmap(QStringLiteral("Start.bmp"))));
    resume->setIconSize({36, 36});
    resume->setDefault(true);
    resume->setEnabled(figures.stoppedEarly);
    QPushButton *print =
        makeButton(QStringLiteral("Tisk dokladu"), QStringLiteral("BitBtnPrint"), 66);
    QPushButton *close = makeButton(QStringLiteral("Zavřít"), QStringLiteral("BitBtnClose"), 124);
    connect(resume, &QPushButton::clicked, this, [this] { done(Continue); });
    connect(print, &QPushButton::clicked, this, [this] { done(Print); });
    connect(close, &QPushButton::clicked, this, [this] { done(Close); });
    (figures.stoppedEarly ? resume : print)->setFocus();
}

void TFormStop::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    QDialog::showEvent(event);
}

QLineEdit *TFormStop::makeValueField(const QString &name, const QRect &geometry,
                                     const QString &text)
{
    // Shown only: no length limit cuts the longest run (100:39) or a large amount; the font
    // fits the text instead.
    auto *field = new QLineEdit(text, m_panel);
    field->setObjectName(name);
    field->setGeometry(geometry);
    setFittingFont(field, blackFontPixels(29), {text});
    field->setAlignment(Qt::AlignRight);
    field->setEnabled(false);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QPushButton *TFormStop::makeButton(const QString &caption, const QString &name, int top)
{
    auto *button = new QPushButton(caption, m_panel);
    button->setObjectName(name);
    button->setGeometry(258, top, 128, 50);
    button->setFont(blackFontPixels(12));
    return button;
}
