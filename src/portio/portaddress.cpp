#include "portio/portaddress.h"

namespace {

std::function<QString()> &portTextSource()
{
    static std::function<QString()> source;
    return source;
}

} // namespace

std::optional<quint32> parsePortText(const QString &text)
{
    constexpr qsizetype MaxDigits = 8; // a 32-bit address
    if (text.isEmpty() || text.size() > MaxDigits)
        return std::nullopt;
    quint32 value = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        quint32 digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

quint32 portAddressFromText(const QString &text)
{
    return parsePortText(text).value_or(DefaultPortAddress);
}

QString portTextFromAddress(quint32 port)
{
    return QStringLiteral("%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
}

void setPortTextSource(std::function<QString()> source)
{
    portTextSource() = std::move(source);
}

quint32 PortAddress()
{
    const auto &source = portTextSource();
    return portAddressFromText(source ? source() : DefaultPortText);
}
