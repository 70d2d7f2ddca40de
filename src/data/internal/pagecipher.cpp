#include "data/internal/pagecipher.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace PageCipher {

namespace {

constexpr unsigned char FileMarker[4] = {'V', 'L', 'M', 1};
constexpr unsigned char JournalMarker[8] = {'V', 'L', 'M', 'J', 1, 0, 0, 0};
constexpr unsigned char FormatVersion = 1;
const char SqliteMagic[16] = "SQLite format 3";
constexpr int StreamBlock = 64;

// Prefix of page 1: marker 4, salt 16, page size as SQLite stores it 2, reserved bytes 1,
// format version 1.
constexpr int SaltAt = 4;
constexpr int PageSizeAt = 20;
constexpr int ReservedAt = 22;
constexpr int VersionAt = 23;

int decodedPageSize(const unsigned char *bigEndian)
{
    const int stored = bigEndian[0] << 8 | bigEndian[1];
    return stored == 1 ? 65536 : stored;
}

bool validPageSize(int size)
{
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

// What is authenticated beside the content: the page number, and page 1's prefix.
int associatedData(unsigned char *ad, quint32 pageNumber, const unsigned char *page)
{
    for (int i = 0; i < 4; ++i)
        ad[i] = static_cast<unsigned char>(pageNumber >> (8 * i));
    if (pageNumber != 1)
        return 4;
    std::memcpy(ad + 4, page, PrefixSize);
    return 4 + PrefixSize;
}

} // namespace

bool isProtectedFile(const unsigned char *start)
{
    return std::memcmp(start, FileMarker, sizeof FileMarker) == 0;
}

std::optional<FileHeader> readHeader(const unsigned char *prefix)
{
    if (!isProtectedFile(prefix) || prefix[VersionAt] != FormatVersion)
        return std::nullopt;
    FileHeader header;
    std::copy_n(prefix + SaltAt, TableKeys::SaltSize, header.salt.begin());
    header.pageSize = decodedPageSize(prefix + PageSizeAt);
    header.reservedBytes = prefix[ReservedAt];
    if (!validPageSize(header.pageSize) || header.reservedBytes < ReservedBytes)
        return std::nullopt;
    return header;
}

bool seal(unsigned char *page, int pageSize, quint32 pageNumber, const TableKeys::Salt &salt,
          const TableKeys::SecretKey &key)
{
    const int start = pageNumber == 1 ? PrefixSize : 0;
    if (pageNumber == 1) {
        // Only what the prefix can give back: a rollback-journal file (versions 1) with the
        // fixed payload fractions and room for the nonce and tag.
        const bool restorable = std::memcmp(page, SqliteMagic, sizeof SqliteMagic) == 0 &&
                                decodedPageSize(page + 16) == pageSize && page[18] == 1 &&
                                page[19] == 1 && page[20] >= ReservedBytes && page[21] == 64 &&
                                page[22] == 32 && page[23] == 32;
        if (!restorable)
            return false;
        unsigned char prefix[PrefixSize];
        std::memcpy(prefix, FileMarker, sizeof FileMarker);
        std::copy(salt.begin(), salt.end(), prefix + SaltAt);
        prefix[PageSizeAt] = page[16];
        prefix[PageSizeAt + 1] = page[17];
        prefix[ReservedAt] = page[20];
        prefix[VersionAt] = FormatVersion;
        std::memcpy(page, prefix, PrefixSize);
    }
    unsigned char *nonce = page + pageSize - ReservedBytes;
    unsigned char *tag = nonce + NonceSize;
    randombytes_buf(nonce, NonceSize);
    unsigned char ad[4 + PrefixSize];
    const int adSize = associatedData(ad, pageNumber, page);
    crypto_aead_xchacha20poly1305_ietf_encrypt_detached(
        page + start, tag, nullptr, page + start, std::size_t(pageSize - ReservedBytes - start), ad,
        std::size_t(adSize), nullptr, nonce, key.pages());
    return true;
}

bool open(unsigned char *page, int pageSize, quint32 pageNumber, const TableKeys::SecretKey &key)
{
    const int start = pageNumber == 1 ? PrefixSize : 0;
    unsigned char *nonce = page + pageSize - ReservedBytes;
    unsigned char ad[4 + PrefixSize];
    const int adSize = associatedData(ad, pageNumber, page);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt_detached(
            page + start, nullptr, page + start, std::size_t(pageSize - ReservedBytes - start),
            nonce + NonceSize, ad, std::size_t(adSize), nonce, key.pages()) != 0)
        return false;
    std::memset(nonce, 0, ReservedBytes);
    if (pageNumber == 1) {
        const unsigned char storedSize[2] = {page[PageSizeAt], page[PageSizeAt + 1]};
        const unsigned char reserved = page[ReservedAt];
        std::memcpy(page, SqliteMagic, sizeof SqliteMagic);
        const unsigned char rest[8] = {storedSize[0], storedSize[1], 1, 1, reserved, 64, 32, 32};
        std::memcpy(page + 16, rest, sizeof rest);
    }
    return true;
}

void makeJournalHeader(unsigned char *header, const TableKeys::Salt &salt)
{
    std::memcpy(header, JournalMarker, sizeof JournalMarker);
    std::copy(salt.begin(), salt.end(), header + sizeof JournalMarker);
    randombytes_buf(header + sizeof JournalMarker + TableKeys::SaltSize, StreamNonceSize);
}

bool isJournalHeader(const unsigned char *header)
{
    return std::memcmp(header, JournalMarker, sizeof JournalMarker) == 0;
}

TableKeys::Salt journalSalt(const unsigned char *header)
{
    TableKeys::Salt salt;
    std::copy_n(header + sizeof JournalMarker, TableKeys::SaltSize, salt.begin());
    return salt;
}

const unsigned char *journalNonce(const unsigned char *header)
{
    return header + sizeof JournalMarker + TableKeys::SaltSize;
}

void streamXor(unsigned char *data, std::size_t size, quint64 offset, const unsigned char *nonce,
               const TableKeys::SecretKey &key)
{
    quint64 block = offset / StreamBlock;
    const std::size_t skip = offset % StreamBlock;
    if (skip != 0 && size > 0) {
        unsigned char stream[StreamBlock] = {};
        crypto_stream_xchacha20_xor_ic(stream, stream, StreamBlock, nonce, block, key.stream());
        const std::size_t taken = std::min(size, StreamBlock - skip);
        for (std::size_t i = 0; i < taken; ++i)
            data[i] ^= stream[skip + i];
        sodium_memzero(stream, sizeof stream);
        data += taken;
        size -= taken;
        ++block;
    }
    if (size > 0)
        crypto_stream_xchacha20_xor_ic(data, data, size, nonce, block, key.stream());
}

} // namespace PageCipher
