#include "console/solarrow.h"

#include "console/consolefonts.h"
#include "console/digitfieldfilter.h"
#include "core/czechformat.h"
#include "desk/runinput.h"
#include "ui/common/assetfiles.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString ZeroTime = QStringLiteral("00");
const QString ZeroDiscount = QStringLiteral("0");

QFont fieldFont()
{
    return blackFontPoints(22);
}

// The widest price the row is laid out for: seven characters ("9999,99"), shown grouped.
QString widestPrice()
{
    return CzechFormat::amount(9999.99);
}

QLineEdit *makeField(QWidget *parent, const QString &name, const QRect &geometry,
                     const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFont(fieldFont());
    return edit;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QPoint &at, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(at);
    return label;
}

} // namespace

SolarRow::SolarRow(int unit, QWidget *parent) : QFrame(parent), m_unit(unit)
{
    setObjectName(QStringLiteral("PanelSolarRow%1").arg(unit));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedHeight(RowHeight);
    auto *digits = new DigitFieldFilter(this);

    m_labelSolarName = makeLabel(this, QStringLiteral("LabelSolarName"), {4, 4},
                                 QStringLiteral("Solárko %1").arg(unit));
    m_labelSolarName->setFont(blackFontPoints(9));
    m_labelSolarName->adjustSize();
    m_labelSolarDescription =
        makeLabel(this, QStringLiteral("LabelSolarDescription"), {4, 24}, QString());
    m_labelSolarDescription->setFont(QFont(QStringLiteral("Arial")));
    m_labelSolarDescription->setFixedWidth(106);
    m_imageSolar = makeLabel(this, QStringLiteral("ImageSolar"), {112, 14}, QString());
    m_imageSolar->resize(36, 40);

    m_currencyEditSolarPrice =
        makeField(this, QStringLiteral("CurrencyEditSolarPrice"), {154, 8, 104, 49}, QString());
    // Shown only, so never cut to a length; its font fits the price instead.
    m_currencyEditSolarPrice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_currencyEditSolarPrice->setEnabled(false);

    m_bitBtnSolar = new QPushButton(this);
    m_bitBtnSolar->setObjectName(QStringLiteral("BitBtnSolar"));
    m_bitBtnSolar->setGeometry(276, 8, 128, 49);
    m_bitBtnSolar->setFont(blackFontPoints(9));
    m_bitBtnSolar->setIconSize({36, 36});
    m_bitBtnSolar->setFocusPolicy(Qt::TabFocus);
    m_bitBtnSolar->installEventFilter(this);

    m_editSolarMin = makeField(this, QStringLiteral("EditSolarMin"), {422, 8, 44, 49}, ZeroTime);
    m_labelSolarColon =
        makeLabel(this, QStringLiteral("LabelSolarColon"), {468, 9}, QStringLiteral(":"));
    m_labelSolarColon->setFont(fieldFont());
    m_labelSolarColon->adjustSize();
    m_editSolarSec = makeField(this, QStringLiteral("EditSolarSec"), {479, 8, 44, 49}, ZeroTime);
    for (QLineEdit *edit : {m_editSolarMin, m_editSolarSec}) {
        edit->setMaxLength(2);
        setFittingFont(edit, fieldFont(), {ZeroTime});
        digits->watch(edit);
        edit->installEventFilter(this);
    }
    m_comboBoxSolarOff = new QComboBox(this);
    m_comboBoxSolarOff->setObjectName(QStringLiteral("ComboBoxSolarOff"));
    m_comboBoxSolarOff->setGeometry(541, 8, 80, 49);
    m_comboBoxSolarOff->setFont(fieldFont());
    m_comboBoxSolarOff->installEventFilter(this);

    m_editSolarOdd =
        makeField(this, QStringLiteral("EditSolarOdd"), {639, 8, 92, 49}, QStringLiteral("00:00"));
    m_editSolarOdd->setEnabled(false);
    setFittingFont(m_editSolarOdd, fieldFont(), {CzechFormat::period(LongestRunSeconds)});
    m_gaugeSolar = new QProgressBar(this);
    m_gaugeSolar->setObjectName(QStringLiteral("GaugeSolar"));
    m_gaugeSolar->setGeometry(749, 8, 220, 49);
    m_gaugeSolar->setFont(fieldFont());
    m_gaugeSolar->setRange(0, 100);
    m_gaugeSolar->setValue(0);
    m_gaugeSolar->setAlignment(Qt::AlignCenter);

    // Typing a run goes minutes, seconds, discount, then the button that starts it.
    setTabOrder(m_editSolarMin, m_editSolarSec);
    setTabOrder(m_editSolarSec, m_comboBoxSolarOff);
    setTabOrder(m_comboBoxSolarOff, m_bitBtnSolar);

    connect(m_bitBtnSolar, &QPushButton::clicked, this, [this] { emit commandRequested(m_unit); });
    connect(m_editSolarMin, &QLineEdit::textChanged, this, [this] { EditsChange(m_editSolarMin); });
    connect(m_editSolarSec, &QLineEdit::textChanged, this, [this] { EditsChange(m_editSolarSec); });
    connect(m_comboBoxSolarOff, &QComboBox::currentTextChanged, this,
            [this] { EditsChange(m_comboBoxSolarOff); });
    setReadyLook();
}

void SolarRow::showUnit(bool active, const QString &description, double price, bool dialogMode,
                        const QStringList &discounts)
{
    m_active = active;
    m_dialogMode = dialogMode;
    m_price = price;
    // The column is narrow: a long description ends in "…" there and is whole in the tip.
    m_labelSolarDescription->setText(m_labelSolarDescription->fontMetrics().elidedText(
        description, Qt::ElideRight, m_labelSolarDescription->width()));
    setToolTip(description);
    m_imageSolar->setPixmap(
        assetPixmap(active ? QStringLiteral("Person.bmp") : QStringLiteral("Closed.bmp")));
    m_imageSolar->setVisible(!active);
    const QString priceText = CzechFormat::amount(price);
    m_currencyEditSolarPrice->setText(priceText);
    setFittingFont(m_currencyEditSolarPrice, fieldFont(), {widestPrice(), priceText});
    m_bitBtnSolar->setEnabled(active && dialogMode);
    setInputsEnabled(directInput());

    const QSignalBlocker blocker(m_comboBoxSolarOff);
    m_comboBoxSolarOff->clear();
    if (directInput()) {
        m_comboBoxSolarOff->setEditable(false);
        m_comboBoxSolarOff->addItems(offeredDiscounts(discounts));
        m_comboBoxSolarOff->setCurrentIndex(0);
        m_bitBtnSolar->setEnabled(inputValid());
    } else {
        m_comboBoxSolarOff->setEditable(true);
        m_comboBoxSolarOff->setEditText(ZeroDiscount);
    }
}

void SolarRow::setReadyLook()
{
    m_running = false;
    m_imageSolar->hide();
    setButtonLook(QStringLiteral("Start [F%1]").arg(m_unit), QStringLiteral("Start.bmp"),
                  palette().color(QPalette::ButtonText));
    setInputsEnabled(directInput());
    m_bitBtnSolar->setEnabled(m_active && (m_dialogMode || inputValid()));
}

void SolarRow::setRunningLook()
{
    m_running = true;
    m_imageSolar->setPixmap(assetPixmap(QStringLiteral("Person.bmp")));
    m_imageSolar->show();
    setButtonLook(QStringLiteral("Stop [F%1]").arg(m_unit), QStringLiteral("Stop.bmp"), Qt::red);
    setInputsEnabled(false);
    m_bitBtnSolar->setEnabled(true);
}

void SolarRow::setButtonLook(const QString &caption, const QString &picture, const QColor &color)
{
    m_bitBtnSolar->setText(caption);
    m_bitBtnSolar->setIcon(QIcon(assetPixmap(picture)));
    QPalette buttonPalette = m_bitBtnSolar->palette();
    buttonPalette.setColor(QPalette::ButtonText, color);
    m_bitBtnSolar->setPalette(buttonPalette);
}

void SolarRow::setInputsEnabled(bool enabled)
{
    m_editSolarMin->setEnabled(enabled);
    m_editSolarSec->setEnabled(enabled);
    m_comboBoxSolarOff->setEnabled(enabled);
    m_labelSolarColon->setEnabled(enabled); // the ":" turns grey with its fields
}

void SolarRow::resetInputs()
{
    setRunInput(QStringLiteral("00"), QStringLiteral("00"), ZeroDiscount);
    m_editSolarOdd->setText(QStringLiteral("00:00"));
    if (directInput()) {
        m_comboBoxSolarOff->setCurrentIndex(0);
        m_editSolarMin->setFocus();
    }
    m_gaugeSolar->setValue(0);
}

bool SolarRow::inputValid() const
{
    return isValidRunInput(minutesText(), secondsText(), discountText());
}

QString SolarRow::minutesText() const
{
    return m_editSolarMin->text();
}

QString SolarRow::secondsText() const
{
    return m_editSolarSec->text();
}

QString SolarRow::discountText() const
{
    return m_comboBoxSolarOff->currentText();
}

void SolarRow::setRunInput(const QString &minutes, const QString &seconds, const QString &discount)
{
    m_editSolarMin->setText(minutes);
    m_editSolarSec->setText(seconds);
    if (m_comboBoxSolarOff->isEditable())
        m_comboBoxSolarOff->setEditText(discount);
    else
        m_comboBoxSolarOff->setCurrentIndex(m_comboBoxSolarOff->findText(discount));
}

void SolarRow::setRemainingText(const QString &text)
{
    m_editSolarOdd->setText(text);
}

void SolarRow::startGauge(int totalSeconds)
{
    m_gaugeSolar->setRange(0, totalSeconds);
}

void SolarRow::setGaugeProgress(int usedSeconds)
{
    m_gaugeSolar->setValue(usedSeconds);
}

// The input handlers work only in direct input; in dialog mode the fields just show a run.
void SolarRow::EditsChange(QWidget *changed)
{
    if (!directInput())
        return;
    const auto *edit = qobject_cast<QLineEdit *>(changed);
    const QString text = edit ? edit->text() : m_comboBoxSolarOff->currentText();
    if (text.size() == 2 && changed->hasFocus())
        focusNextChild();
    m_bitBtnSolar->setEnabled(inputValid());
}

bool SolarRow::eventFilter(QObject *watched, QEvent *event)
{
    // In the row's inputs, and on its button once typing has moved the focus there, Enter
    // starts the run as a default button would. It never stops one: the focus may still be on
    // the button when the run has started.
    if (event->type() == QEvent::KeyPress && directInput() && !m_running) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_bitBtnSolar->isEnabled()) {
            m_bitBtnSolar->click();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
