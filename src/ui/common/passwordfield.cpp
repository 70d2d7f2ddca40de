#include "ui/common/passwordfield.h"

#include <QApplication>
#include <QLineEdit>
#include <QProxyStyle>

namespace {

// The application's style, with the one mask character changed.
class StarMaskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle *starMaskStyle()
{
    // Widgets do not own the style they are given; the application keeps the one instance.
    static QStyle *const style = [] {
        auto *created = new StarMaskStyle;
        created->setParent(qApp);
        return created;
    }();
    return style;
}

} // namespace

void showAsPassword(QLineEdit *edit)
{
    edit->setStyle(starMaskStyle());
    edit->setEchoMode(QLineEdit::Password);
}
