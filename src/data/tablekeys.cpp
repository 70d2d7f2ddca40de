#include "data/tablekeys.h"

#include <sodium.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace TableKeys {

namespace {

constexpr std::uint64_t PagesSubkey = 1;
constexpr std::uint64_t StreamSubkey = 2;
constexpr char SubkeyContext[crypto_kdf_CONTEXTBYTES] = {'V', 'l', 'm', 'T', 'a', 'b', 'l', 'e'};

struct Registry
{
    std::mutex mutex;
    unsigned char *password = nullptr; // sodium_malloc'd, passwordSize bytes
    std::size_t passwordSize = 0;
    std::vector<std::pair<Salt, KeyPointer>> keys; // the first one's salt serves new files

    void dropPassword()
    {
        sodium_free(password); // zeroes it
        password = nullptr;
        passwordSize = 0;
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

void initialiseSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::bad_alloc();
}

KeyPointer derive(const Registry &state, const Salt &salt)
{
    unsigned char *master = static_cast<unsigned char *>(sodium_malloc(KeySize));
    if (!master)
        return nullptr;
    KeyPointer key;
    if (crypto_pwhash(master, KeySize, reinterpret_cast<const char *>(state.password),
                      state.passwordSize, salt.data(), crypto_pwhash_OPSLIMIT_MODERATE,
                      crypto_pwhash_MEMLIMIT_MODERATE, crypto_pwhash_ALG_ARGON2ID13) == 0) {
        auto derived = std::make_shared<SecretKey>();
        crypto_kdf_derive_from_key(derived->bytes(), KeySize, PagesSubkey, SubkeyContext, master);
        crypto_kdf_derive_from_key(derived->bytes() + KeySize, KeySize, StreamSubkey, SubkeyContext,
                                   master);
        key = std::move(derived);
    }
    sodium_free(master);
    return key;
}

KeyPointer cached(const Registry &state, const Salt &salt)
{
    const auto found = std::find_if(state.keys.begin(), state.keys.end(),
                                    [&salt](const auto &entry) { return entry.first == salt; });
    return found == state.keys.end() ? nullptr : found->second;
}

} // namespace

SecretKey::SecretKey()
{
    initialiseSodium();
    m_bytes = static_cast<unsigned char *>(sodium_malloc(2 * KeySize));
    if (!m_bytes)
        throw std::bad_alloc();
}

SecretKey::~SecretKey()
{
    sodium_free(m_bytes);
}

void registerPassword(const QString &password)
{
    initialiseSodium();
    QByteArray utf8 = password.toUtf8();
    Registry &state = registry();
    const std::lock_guard lock(state.mutex);
    const bool same = state.password && state.passwordSize == std::size_t(utf8.size()) &&
                      sodium_memcmp(state.password, utf8.constData(), state.passwordSize) == 0;
    if (!same) {
        state.keys.clear();
        state.dropPassword();
        state.password =
            static_cast<unsigned char *>(sodium_malloc(std::max<qsizetype>(1, utf8.size())));
        if (state.password) {
            state.passwordSize = std::size_t(utf8.size());
            std::copy(utf8.cbegin(), utf8.cend(), state.password);
        }
    }
    sodium_memzero(utf8.data(), std::size_t(utf8.size()));
}

void forgetPassword()
{
    Registry &state = registry();
    const std::lock_guard lock(state.mutex);
    state.dropPassword();
}

KeyPointer keyFor(const Salt &salt)
{
    Registry &state = registry();
    const std::lock_guard lock(state.mutex);
    if (KeyPointer key = cached(state, salt))
        return key;
    if (!state.password)
        return nullptr;
    KeyPointer key = derive(state, salt);
    if (key)
        state.keys.emplace_back(salt, key);
    return key;
}

std::optional<std::pair<Salt, KeyPointer>> forNewFile()
{
    Registry &state = registry();
    {
        const std::lock_guard lock(state.mutex);
        if (!state.keys.empty())
            return state.keys.front();
    }
    Salt salt;
    randombytes_buf(salt.data(), salt.size());
    KeyPointer key = keyFor(salt);
    if (!key)
        return std::nullopt;
    return std::make_pair(salt, key);
}

KeyPointer randomKey()
{
    auto key = std::make_shared<SecretKey>();
    randombytes_buf(key->bytes(), 2 * KeySize);
    return key;
}

} // namespace TableKeys
