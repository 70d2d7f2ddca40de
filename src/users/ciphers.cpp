#include "users/ciphers.h"

#include "core/cp1250.h"

#include <sodium.h>

#include <array>

namespace Ciphers {

namespace {

constexpr int SecretSize = 16;
using Key = std::array<unsigned char, 32>;

// The 16 bytes the keys grow from; spread over two words so they never sit in one piece.
constexpr quint64 MaterialLow = 0x5a17c3e98b204f61ULL;
constexpr quint64 MaterialHigh = 0x93d0b6247ef1a85cULL;

void initialiseSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        qFatal("libsodium cannot be initialised");
}

Key deriveKey(Purpose purpose)
{
    initialiseSodium();
    std::array<unsigned char, SecretSize> material = {};
    for (int i = 0; i < 8; ++i) {
        material[i] = static_cast<unsigned char>(MaterialLow >> (8 * i));
        material[8 + i] = static_cast<unsigned char>(MaterialHigh >> (8 * i));
    }
    std::array<unsigned char, crypto_kdf_KEYBYTES> master = {};
    crypto_generichash(master.data(), master.size(), material.data(), material.size(), nullptr, 0);
    Key key = {};
    crypto_kdf_derive_from_key(key.data(), key.size(), static_cast<quint64>(purpose), "VelmoraK",
                               master.data());
    sodium_memzero(master.data(), master.size());
    sodium_memzero(material.data(), material.size());
    return key;
}

// A secret's form is deterministic, so it can be generated at build time and compared later.
QByteArray xorSecret(const QByteArray &input, Purpose purpose)
{
    Key key = deriveKey(purpose);
    const std::array<unsigned char, crypto_stream_xchacha20_NONCEBYTES> nonce = {};
    QByteArray output(input.size(), '\0');
    crypto_stream_xchacha20_xor(reinterpret_cast<unsigned char *>(output.data()),
                                reinterpret_cast<const unsigned char *>(input.constData()),
                                quint64(input.size()), nonce.data(), key.data());
    sodium_memzero(key.data(), key.size());
    return output;
}

} // namespace

QByteArray sealFile(const QByteArray &plain)
{
    Key key = deriveKey(Purpose::UsersFile);
    QByteArray sealed(crypto_aead_xchacha20poly1305_ietf_NPUBBYTES + plain.size() +
                          crypto_aead_xchacha20poly1305_ietf_ABYTES,
                      '\0');
    auto *nonce = reinterpret_cast<unsigned char *>(sealed.data());
    randombytes_buf(nonce, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        nonce + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES, &length,
        reinterpret_cast<const unsigned char *>(plain.constData()), quint64(plain.size()), nullptr,
        0, nullptr, nonce, key.data());
    sodium_memzero(key.data(), key.size());
    return sealed;
}

std::optional<QByteArray> openFile(const QByteArray &sealed)
{
    constexpr qsizetype Overhead =
        crypto_aead_xchacha20poly1305_ietf_NPUBBYTES + crypto_aead_xchacha20poly1305_ietf_ABYTES;
    if (sealed.size() < Overhead)
        return std::nullopt;
    Key key = deriveKey(Purpose::UsersFile);
    const auto *nonce = reinterpret_cast<const unsigned char *>(sealed.constData());
    QByteArray plain(sealed.size() - Overhead, '\0');
    unsigned long long length = 0;
    const int result = crypto_aead_xchacha20poly1305_ietf_decrypt(
        reinterpret_cast<unsigned char *>(plain.data()), &length, nullptr,
        nonce + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES,
        quint64(sealed.size() - crypto_aead_xchacha20poly1305_ietf_NPUBBYTES), nullptr, 0, nonce,
        key.data());
    sodium_memzero(key.data(), key.size());
    if (result != 0)
        return std::nullopt;
    return plain;
}

QString encipherSecret(const QString &secret, Purpose purpose)
{
    QByteArray bytes;
    if (!Cp1250::encode(secret, &bytes) || bytes.size() > SecretSize || bytes.contains('\0'))
        return QString();
    bytes.append(QByteArray(SecretSize - bytes.size(), '\0'));
    return QString::fromLatin1(xorSecret(bytes, purpose).toBase64());
}

std::optional<QString> decipherSecret(const QString &base64, Purpose purpose)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(base64.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != SecretSize)
        return std::nullopt;
    QByteArray plain = xorSecret(decoded.decoded, purpose);
    const qsizetype end = plain.indexOf('\0');
    if (end >= 0)
        plain.truncate(end);
    const QString secret = Cp1250::decode(plain);
    sodium_memzero(plain.data(), size_t(plain.size()));
    return secret;
}

} // namespace Ciphers
