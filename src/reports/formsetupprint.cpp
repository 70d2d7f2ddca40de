#include "reports/formsetupprint.h"

#include "reports/engine/reportfonts.h"
#include "reports/formqrsalesolara5.h"
#include "ui/common/memolinelimit.h"
#include "ui/common/windowhelpers.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextOption>
#include <QVBoxLayout>
#include <QtMath>

namespace {

const QString SettingsSection = QStringLiteral("SetupPrint");

constexpr int ButtonWidth = 80;

// The memo in the receipt's font, unhinted and with unrounded advances as the receipt measures
// it, as wide as the box and as high as the lines that the box holds: the lines break where they
// do on paper, and every one of them is in view.
void showAsPrinted(QPlainTextEdit *memo, const ReceiptTextBox &box, int lines)
{
    const QFont font = ReportFonts::toQFont(box.font);
    memo->setFont(font);
    QTextDocument *document = memo->document();
    QTextOption option = document->defaultTextOption();
    option.setAlignment(box.alignment == ReportAlignment::Centre ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    document->setDefaultTextOption(option);
    // A scroll bar would only narrow the lines.
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // As many of the font's ems wide as the box: the screen rounds the font to whole pixels.
    const double textWidth = ReportUnits::fromMillimetres(box.boxMm.width()) /
                             ReportMetrics().emSize(box.font) * QFontInfo(font).pixelSize();
    const int viewportWidth = qCeil(textWidth + 2 * document->documentMargin());
    // The margins take up the rounding to whole pixels.
    document->setDocumentMargin((viewportWidth - textWidth) / 2);
    // Lines of whole pixels, the margins above and below, and the pixel that the memo keeps free
    // below its last line before it counts that line as in view.
    const int textHeight = lines * qCeil(QFontMetricsF(font, memo).lineSpacing());
    const int frame = 2 * memo->frameWidth();
    memo->setFixedSize(viewportWidth + frame,
                       qCeil(textHeight + 2 * document->documentMargin()) + 1 + frame);
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

    // Side by side as on the receipt.
    auto *memos = new QHBoxLayout;
    m_memoAddress =
        addMemoGroup(memos, QStringLiteral("Adresa na dokladu:"), QStringLiteral("Adresa:"),
                     QStringLiteral("MemoAddress"), ReceiptTextBox::address(), AddressLines);
    m_memoTitle = addMemoGroup(memos, QStringLiteral("Záhlaví prodejního dokladu"),
                               QStringLiteral("Záhlaví:"), QStringLiteral("MemoTitle"),
                               ReceiptTextBox::title(), TitleLines);
    m_memoInfo = addMemoGroup(memos, QStringLiteral("Info na dokladu:"), QStringLiteral("Info:"),
                              QStringLiteral("MemoInfo"), ReceiptTextBox::info(), InfoLines);
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
                                              const ReceiptTextBox &box, int lines)
{
    auto *group = new QGroupBox(title, this);
    auto *column = new QVBoxLayout(group);
    column->addWidget(new QLabel(label, group));
    auto *memo = new QPlainTextEdit(group);
    memo->setObjectName(name);
    memo->setTabChangesFocus(true);
    showAsPrinted(memo, box, lines);
    new MemoLineLimit(memo, lines, [box, metrics = ReportMetrics()](const QString &line) {
        return box.printedLines(line, metrics);
    });
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
