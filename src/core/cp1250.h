#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250, the code page of every text file the program shares with the desk's other tools.
namespace Cp1250 {

// Encodes text; returns false (and leaves *out unspecified) when a character has no code in
// Windows-1250, so callers report it instead of losing the character.
bool encode(const QString &text, QByteArray *out);

// Every byte decodes, and encoding the result gives the same bytes back; the five codes that
// Windows-1250 leaves free become the C1 controls U+0081, U+0083, U+0088, U+0090 and U+0098.
QString decode(const QByteArray &bytes);

// True when every character of the text can be stored.
bool canEncode(QChar ch);
bool canEncode(const QString &text);
// The text with every character that has no code replaced by '?'.
QString encodable(const QString &text);

} // namespace Cp1250
