#include "reports/formsetupprint.h"

#include "desk/settings/printsettingsstore.h"
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

// The lines a typed line takes in the receipt's box.
PrintedLines printedIn(const ReceiptTextBox &box)
{
    return [box, metrics = ReportMetrics()](const QString &line) {
        return box.printedLines(line, metrics);
    };
}

} // namespace

void limitToReceipt(PrintSettingsStore &store)
{
    store.limitLines(PrintSettingsStore::MemoAddress, TFormSetupPrint::AddressLines,
                     printedIn(ReceiptTextBox::address()));
    store.limitLines(PrintSettingsStore::MemoTitle, TFormSetupPrint::TitleLines,
                     printedIn(ReceiptTextBox::title()));
    store.limitLines(PrintSettingsStore::MemoInfo, TFormSetupPrint::InfoLines,
                     printedIn(ReceiptTextBox::info()));
}

TFormSetupPrint::TFormSetupPrint(PrintSettingsStore &store, QWidget *parent)
    : QDialog(parent), m_store(store)
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
    new MemoLineLimit(memo, lines, printedIn(box));
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

// --- Window --------------------------------------------------------------------------------

void TFormSetupPrint::keyPressEvent(QKeyEvent *event)
{
    // Escape is "Storno", which reloads the stored values; the close box does not.
    if (!escapeClicksButton(event, m_buttonCancel))
        QDialog::keyPressEvent(event);
}

void TFormSetupPrint::showEvent(QShowEvent *event)
{
    ConfigError error;
    if (!m_store.read(&error))
        SettingsStore::report(error); // the values in force stay
    showStore();
    QDialog::showEvent(event);
}

void TFormSetupPrint::showStore()
{
    m_memoAddress->setPlainText(m_store.addressLines().join(QLatin1Char('\n')));
    m_memoTitle->setPlainText(m_store.titleLines().join(QLatin1Char('\n')));
    m_memoInfo->setPlainText(m_store.infoLines().join(QLatin1Char('\n')));
    (m_store.manualPrinting() ? m_radioButtonManual : m_radioButtonAuto)->setChecked(true);
}

void TFormSetupPrint::takeIntoStore()
{
    m_store.setLines(PrintSettingsStore::MemoAddress, memoLines(m_memoAddress));
    m_store.setLines(PrintSettingsStore::MemoTitle, memoLines(m_memoTitle));
    m_store.setLines(PrintSettingsStore::MemoInfo, memoLines(m_memoInfo));
    m_store.chooseFirst(PrintSettingsStore::RadioButtonManual, m_radioButtonManual->isChecked());
}

void TFormSetupPrint::ButtonCancelClick()
{
    showStore(); // the write on closing then puts the values in force back
    reject();
}

void TFormSetupPrint::done(int result)
{
    takeIntoStore();
    ConfigError error;
    if (!m_store.write(&error))
        SettingsStore::report(error);
    QDialog::done(result);
}
