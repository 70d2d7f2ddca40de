#include "ui/common/messagewindows.h"

#include "ui/common/uifonts.h"
#include "ui/common/windowhelpers.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int ClientWidth = 440;
constexpr int ClientHeight = 93;
constexpr int TextLeft = 72;
constexpr int TextRightMargin = 8;
constexpr int ButtonTop = 64;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int IconBlinkMs = 250;
constexpr int AutoCloseMs = 2000;

QLabel *textLabel(QWidget *parent, const QString &name, const QFont &font, int left, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    // Texts come from the program's messages and data: never rich text, never wrapped.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->move(left, top);
    return label;
}

} // namespace

MessageWindow::MessageWindow(const QString &caption, const QString &iconResource,
                             const QString &headlineName)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(caption);
    setFont(UiFonts::sansSerif(11));
    setFixedSize(ClientWidth, ClientHeight);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->setGeometry(8, 8, 48, 48);
    m_image->setPixmap(QPixmap(iconResource));

    m_headline = textLabel(this, headlineName, UiFonts::sansSerif(16, true), TextLeft, 10);
    m_specification =
        textLabel(this, QStringLiteral("LabelSpecification"), UiFonts::sansSerif(11), TextLeft, 38);

    m_timerIcon = new QTimer(this);
    m_timerIcon->setObjectName(QStringLiteral("TimerIcon"));
    m_timerIcon->setInterval(IconBlinkMs);
    connect(m_timerIcon, &QTimer::timeout, this, &MessageWindow::TimerIconTimer);
    m_timerIcon->start();

    setMessage(QString(), QString());
}

void MessageWindow::setMessage(const QString &text, const QString &detail)
{
    m_headline->setText(text);
    m_headline->adjustSize();
    m_specification->setText(detail);
    m_specification->adjustSize();
    // Long texts (paths, engine messages) widen the window, up to the screen's width; the
    // buttons stay centred.
    const int needed =
        TextLeft + std::max(m_headline->width(), m_specification->width()) + TextRightMargin;
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const int widest = shown ? shown->availableGeometry().width() : ClientWidth;
    const int width = std::clamp(needed, ClientWidth, std::max(widest, ClientWidth));
    // A detail of several lines (a list) pushes the buttons down.
    const int extraHeight =
        std::max(0, m_specification->height() - m_specification->fontMetrics().height());
    setFixedSize(width, ClientHeight + extraHeight);
    for (const PlacedButton &placed : std::as_const(m_buttons))
        placed.button->move(placed.left + (width - ClientWidth) / 2, ButtonTop + extraHeight);
}

QPushButton *MessageWindow::addButton(const QString &caption, int left, const QString &name)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(left + (width() - ClientWidth) / 2, ButtonTop + height() - ClientHeight,
                        ButtonWidth, ButtonHeight);
    m_buttons.append({button, left});
    return button;
}

void MessageWindow::keyPressEvent(QKeyEvent *event)
{
    if (!escapeClicksButton(event, m_cancelButton))
        QDialog::keyPressEvent(event);
}

void MessageWindow::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    QDialog::showEvent(event);
}

void MessageWindow::TimerIconTimer()
{
    m_image->setVisible(!m_image->isVisible());
}

TFormWarning::TFormWarning()
    : MessageWindow(QStringLiteral(" Upozornění"), QStringLiteral(":/velmora/WarningIcon.png"),
                    QStringLiteral("LabelWarning"))
{
    m_buttonOk = addButton(QStringLiteral("Ok"), 183, QStringLiteral("ButtonOk"));
    m_buttonOk->setDefault(true);
    setCancelButton(m_buttonOk);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);
}

TFormInformation::TFormInformation()
    : MessageWindow(QStringLiteral(" Informace"), QStringLiteral(":/velmora/InformationIcon.png"),
                    QStringLiteral("LabelInformation"))
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_buttonOk = addButton(QStringLiteral("Ok"), 183, QStringLiteral("ButtonOk"));
    m_buttonOk->setDefault(true);
    setCancelButton(m_buttonOk);
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(AutoCloseMs);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TFormInformation::TimerTimer);
}

void TFormInformation::setAutoClose(bool autoClose)
{
    m_autoClose = autoClose;
}

void TFormInformation::showEvent(QShowEvent *event)
{
    MessageWindow::showEvent(event);
    // The 2000 ms count from the moment the window can be seen; hiding it by "Ok" keeps the count.
    if (m_autoClose && !m_timer->isActive())
        m_timer->start();
}

void TFormInformation::TimerTimer()
{
    m_timer->stop();
    hide();
    deleteLater();
}

TFormQuestion::TFormQuestion()
    : MessageWindow(QStringLiteral(" Otázka"), QStringLiteral(":/velmora/QuestionIcon.png"),
                    QStringLiteral("LabelQuestion"))
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_buttonYes = addButton(QStringLiteral("&Ano"), 141, QStringLiteral("ButtonYes"));
    m_buttonNo = addButton(QStringLiteral("&Ne"), 223, QStringLiteral("ButtonNo"));
    setCancelButton(m_buttonNo);
    connect(m_buttonYes, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(m_buttonNo, &QPushButton::clicked, this, [this] { done(No); });
}
