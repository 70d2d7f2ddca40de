#include "reports/formsetupprint.h"

#include "ui/common/memolinelimit.h"
#include "ui/common/windowhelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextOption>
#include <QVBoxLayout>

namespace {

const QString SettingsSection = QStringLiteral("SetupPrint");

constexpr int ButtonWidth = 80;
// The widths of the receipt's boxes: the memos wrap their lines about where the receipt does.
constexpr double AddressWidthMm = 32.3;
constexpr double TitleWidthMm = 59.3;
constexpr double InfoWidthMm = 32.3;
constexpr double MmPerInch = 25.4;

QFont pointFont(const QString &family, int pointSize, bool bold = false)
{
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

TFormSetupPrint::TFormSetupPrint(QWidget *parent)
    : QDialog(parent),
      m_store(this, SettingsSection,
              {QStringLiteral("MemoAddress.Lines"), QStringLiteral("MemoTitle.Lines"),
               QStringLiteral("MemoInfo.Lines"), QStringLiteral("RadioButtonManual.Checked"),
               QStringLiteral("RadioButtonAuto.Checked")})
{
    setObjectName(QStringLiteral("FormSetupPrint"));
    setWindowTitle(QStringLiteral(" Nastavení tisku dokladů"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    // Side by side as on the receipt, each in the font that the receipt prints it in.
    auto *memos = new QHBoxLayout;
    const QFont small = pointFont(QStringLiteral("Microsoft Sans Serif"), 7);
    m_memoAddress =
        addMemoGroup(memos, QStringLiteral("Adresa na dokladu:"), QStringLiteral("Adresa:"),
                     QStringLiteral("MemoAddress"), small, AddressLines, AddressWidthMm);
    m_memoTitle =
        addMemoGroup(memos, QStringLiteral("Záhlaví prodejního dokladu"),
                     QStringLiteral("Záhlaví:"), QStringLiteral("MemoTitle"),
                     pointFont(QStringLiteral("Arial"), 11, true), TitleLines, TitleWidthMm);
    QTextOption centred = m_memoTitle->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    m_memoTitle->document()->setDefaultTextOption(centred);
    m_memoInfo = addMemoGroup(memos, QStringLiteral("Info na dokladu:"), QStringLiteral("Info:"),
                              QStringLiteral("MemoInfo"), small, InfoLines, InfoWidthMm);
    layout->addLayout(memos);
    layout->addWidget(buildModeGroup());

    const OkCancelButtons buttons = addOkCancelRow(layout, this);
    m_buttonOk = buttons.ok;
    m_buttonCancel = buttons.cancel;
    for (QPushButton *button : {m_buttonOk, m_buttonCancel})
        button->setMinimumWidth(ButtonWidth);
    m_buttonOk->setDefault(true);

    connect(m_buttonOk, &QPushButton::clicked, this, &TFormSetupPrint::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TFormSetupPrint::ButtonCancelClick);
    setFixedSize(sizeHint());
}

QPlainTextEdit *TFormSetupPrint::addMemoGroup(QBoxLayout *layout, const QString &title,
                                              const QString &label, const QString &name,
                                              const QFont &font, int lines, double printedWidthMm)
{
    auto *group = new QGroupBox(title, this);
    auto *column = new QVBoxLayout(group);
    column->addWidget(new QLabel(label, group));
    auto *memo = new QPlainTextEdit(group);
    memo->setObjectName(name);
    memo->setFont(font);
    memo->setTabChangesFocus(true);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new MemoLineLimit(memo, lines);
    const int margins = int(2 * memo->document()->documentMargin()) + 2 * memo->frameWidth();
    const QFontMetrics metrics(font);
    memo->setFixedSize(int(printedWidthMm * logicalDpiX() / MmPerInch) + margins,
                       lines * metrics.lineSpacing() + margins);
    column->addWidget(memo);
    layout->addWidget(group);
    return memo;
}

QWidget *TFormSetupPrint::buildModeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Tisk dokladů"), this);
    auto *row = new QHBoxLayout(group);
    m_radioButtonManual = new QRadioButton(QStringLiteral("Manuální tisk dokladů"), group);
    m_radioButtonManual->setObjectName(QStringLiteral("RadioButtonManual"));
    m_radioButtonManual->setChecked(true);
    m_radioButtonAuto = new QRadioButton(QStringLiteral("Automatický tisk"), group);
    m_radioButtonAuto->setObjectName(QStringLiteral("RadioButtonAuto"));
    row->addWidget(m_radioButtonManual);
    row->addWidget(m_radioButtonAuto);
    row->addStretch();
    return group;
}

bool TFormSetupPrint::readStoredSettings(ConfigError *error)
{
    return m_store.read(error);
}

// --- PrintSettings -------------------------------------------------------------------------

QStringList TFormSetupPrint::addressLines() const
{
    return memoLines(m_memoAddress);
}

QStringList TFormSetupPrint::titleLines() const
{
    return memoLines(m_memoTitle);
}

QStringList TFormSetupPrint::infoLines() const
{
    return memoLines(m_memoInfo);
}

bool TFormSetupPrint::manualPrinting() const
{
    return m_radioButtonManual->isChecked();
}

// --- Window --------------------------------------------------------------------------------

void TFormSetupPrint::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Storno", which reloads the stored values; the close box does not.
    if (!escapeClicksButton(event, m_buttonCancel))
        QDialog::keyPressEvent(event);
}

void TFormSetupPrint::ButtonCancelClick()
{
    m_store.revert(); // the write on closing then puts the values in force back
    reject();
}
