#pragma once

#include <QString>

#include <functional>
#include <optional>

// The address of the port register, taken from the port text of the solarium settings.

inline const QString DefaultPortText = QStringLiteral("0378");
constexpr quint32 DefaultPortAddress = 0x378; // 888, the first parallel port's data register

// The text read as a hexadecimal number (one to eight digits, nothing else); nullopt otherwise.
std::optional<quint32> parsePortText(const QString &text);

// As parsePortText, with 888 for an empty or invalid text.
quint32 portAddressFromText(const QString &text);

// Four upper-case hexadecimal digits: 0x378 gives "0378".
QString portTextFromAddress(quint32 port);

// Where PortAddress() takes the port text from; the settings window plugs itself in here.
// An empty function restores the default text "0378".
void setPortTextSource(std::function<QString()> source);

// The current port address; reads the setting at each call, so a change applies at the next access.
quint32 PortAddress();
