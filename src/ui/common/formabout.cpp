#include "ui/common/formabout.h"

#include "ui/common/uifonts.h"
#include "ui/common/versioninfo.h"
#include "ui/common/windowhelpers.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 292;
constexpr int ClientHeight = 188;
constexpr int BandLeft = (ClientWidth - 256) / 2;
constexpr int BandWidth = 256;

QLabel *centredLine(QWidget *parent, const QString &name, const QFont &font, int top, int height)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(BandLeft, top, BandWidth, height);
    return label;
}

} // namespace

QIcon applicationIcon()
{
    return QIcon(QStringLiteral(":/velmora/Velmora.png"));
}

TFormAbout::TFormAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral(" O programu"));
    setFont(UiFonts::sansSerif(11));
    setFixedSize(ClientWidth, ClientHeight);

    m_applicationLabel = centredLine(this, QStringLiteral("ApplicationLabel"),
                                     UiFonts::palatino(16, true, true), 8, 22);
    m_versionLabel =
        centredLine(this, QStringLiteral("VersionLabel"), UiFonts::sansSerif(11), 31, 15);
    m_osLabel = centredLine(this, QStringLiteral("OSLabel"), UiFonts::sansSerif(11), 46, 15);
    m_osLabel->setText(QStringLiteral("pro Linux"));

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->setGeometry((ClientWidth - 32) / 2, 66, 32, 32);

    m_companyLabel =
        centredLine(this, QStringLiteral("CompanyLabel"), UiFonts::sansSerif(11, true), 102, 15);
    m_companyLabel->setText(GetVersionInfo(QStringLiteral("CompanyName")));
    m_contactLabel =
        centredLine(this, QStringLiteral("ContactLabel"), UiFonts::sansSerif(11), 118, 30);
    m_contactLabel->setText(QStringLiteral("Technická podpora: ") + SupportContact +
                            QStringLiteral("\n"
                                           "www.velmora.cz"));

    m_buttonClose = new QPushButton(QStringLiteral("Zavřít"), this);
    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonClose->setGeometry((ClientWidth - 75) / 2, 154, 75, 25);
    m_buttonClose->setDefault(true);
    connect(m_buttonClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormAbout::keyPressEvent(QKeyEvent *event)
{
    // "Zavřít" is also the cancel button: Escape closes with the result OK.
    if (!escapeClicksButton(event, m_buttonClose))
        QDialog::keyPressEvent(event);
}

bool TFormAbout::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

void TFormAbout::showEvent(QShowEvent *event)
{
    // Also on show: a platform without window activation still sees the filled lines.
    FormActivate();
    centreOnScreen(this);
    QDialog::showEvent(event);
}

void TFormAbout::FormActivate()
{
    const QIcon icon = applicationIcon();
    setWindowIcon(icon);
    m_image->setPixmap(icon.pixmap(32, 32));
    m_applicationLabel->setText(
        QStringLiteral("Program %1").arg(GetVersionInfo(QStringLiteral("ProductName"))));
    m_versionLabel->setText(
        QStringLiteral("verze %1").arg(GetVersionInfo(QStringLiteral("ProductVersion"))));
}
