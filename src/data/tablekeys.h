#pragma once

// The keys of protected table files. A protected file carries a random salt; its key comes from
// the table password and that salt through a memory-hard password hash. The password is
// registered at start-up and held, in locked memory, only until forgetPassword(): files
// protected under another salt (a restored backup) must still open during the start-up's upkeep.

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <utility>

namespace TableKeys {

constexpr int SaltSize = 16;
constexpr int KeySize = 32;
using Salt = std::array<unsigned char, SaltSize>;

// A file's two keys, one for its pages and one for its journals, in locked memory that is
// zeroed when the last user lets go.
class SecretKey
{
public:
    SecretKey();
    ~SecretKey();
    SecretKey(const SecretKey &) = delete;
    SecretKey &operator=(const SecretKey &) = delete;

    const unsigned char *pages() const { return m_bytes; }
    const unsigned char *stream() const { return m_bytes + KeySize; }
    unsigned char *bytes() { return m_bytes; } // both keys, 2 * KeySize

private:
    unsigned char *m_bytes;
};
using KeyPointer = std::shared_ptr<const SecretKey>;

// Copies the password; the caller zeroes its own copy. Another password than the one held
// drops the keys derived so far.
void registerPassword(const QString &password);
// Zeroes the password; keys derived until now stay usable.
void forgetPassword();

// The key of files with this salt; null when it was never derived and no password is held (or
// the hash ran out of memory).
KeyPointer keyFor(const Salt &salt);
// Salt and key for a file to be protected now: the salt of the keys in use, so that one
// derivation serves the whole installation, or a fresh one.
std::optional<std::pair<Salt, KeyPointer>> forNewFile();
// A random key for a temporary file that no other process ever reads.
KeyPointer randomKey();

} // namespace TableKeys
