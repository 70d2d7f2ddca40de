#pragma once

// How a protected table file and its journals look on disk.
//
// Every page keeps its place and size, so SQLite's offsets and locks stay as they are. Its
// content up to the last ReservedBytes is enciphered with XChaCha20-Poly1305 under a fresh
// random nonce per write; the nonce and the tag fill those reserved bytes, and the page number
// is authenticated with it, so a page moved, changed or read with another key fails. Page 1
// starts with a plain prefix in place of the parts of SQLite's header that are constant or
// needed before anything can be deciphered: the marker, the salt of the file's key, the page
// size and the number of reserved bytes. The prefix is authenticated too.
//
// A journal starts with a JournalHeaderSize header (marker, the salt, a random nonce) and holds
// what SQLite wrote, shifted by the header and enciphered as a stream keyed by position.

#include "data/tablekeys.h"

#include <QtGlobal>

namespace PageCipher {

constexpr int NonceSize = 24;
constexpr int TagSize = 16;
constexpr int ReservedBytes = NonceSize + TagSize; // at the end of every page
constexpr int PrefixSize = 24;                     // page 1's plain start
constexpr int JournalHeaderSize = 48;
constexpr int StreamNonceSize = 24;

struct FileHeader
{
    TableKeys::Salt salt{};
    int pageSize = 0;
    int reservedBytes = 0;
};

// True when the file's first bytes (at least 4) are those of a protected table file.
bool isProtectedFile(const unsigned char *start);
// The header in page 1's plain prefix; nothing when it is not a valid one.
std::optional<FileHeader> readHeader(const unsigned char *prefix);

// Enciphers a plain page in place. Page 1 must carry a rollback-journal SQLite header with at
// least ReservedBytes reserved; false (page unchanged) otherwise.
bool seal(unsigned char *page, int pageSize, quint32 pageNumber, const TableKeys::Salt &salt,
          const TableKeys::SecretKey &key);
// Deciphers a page in place, its reserved bytes zeroed and page 1's SQLite header restored;
// false when it fails authentication (wrong key, changed or moved page).
bool open(unsigned char *page, int pageSize, quint32 pageNumber, const TableKeys::SecretKey &key);

// Journals: a header for a new journal (its nonce random), and the parts of one.
void makeJournalHeader(unsigned char *header, const TableKeys::Salt &salt);
bool isJournalHeader(const unsigned char *header);
TableKeys::Salt journalSalt(const unsigned char *header);
const unsigned char *journalNonce(const unsigned char *header);

// XORs data with the stream of (key, nonce) from byte `offset` on: the same call enciphers and
// deciphers.
void streamXor(unsigned char *data, std::size_t size, quint64 offset, const unsigned char *nonce,
               const TableKeys::SecretKey &key);

} // namespace PageCipher
