#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's ciphers. Every key is derived at run time from one small piece of key material,
// separately for each purpose, so that no key is stored as such.
namespace Ciphers {

enum class Purpose : quint64 { UsersFile = 1, MasterPassword = 2, tablePassword = 3 };

// Seals a whole file content with an authenticated cipher (random nonce in front), so that a
// damaged or tampered file is detected as a whole instead of being half read.
QByteArray sealFile(const QByteArray &plain);
std::optional<QByteArray> openFile(const QByteArray &sealed);

// A secret of at most 16 Windows-1250 characters, kept as the 24-character Base64 text of its
// enciphered 16-byte form. Returns an empty text for a secret that does not fit.
QString encipherSecret(const QString &secret, Purpose purpose);
std::optional<QString> decipherSecret(const QString &base64, Purpose purpose);

} // namespace Ciphers
