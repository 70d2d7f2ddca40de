#include "data/internal/protectedvfs.h"

#include "data/internal/pagecipher.h"

#include <QUrl>

#include <sodium.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace ProtectedVfs {

namespace {

constexpr char VfsName[] = "velmora";
constexpr int FileControlIsProtected = 0x564C4D50; // answered for our own files only

// One open file. Kind decides what reads and writes do with the bytes.
struct FileState
{
    enum class Kind { Plain, Pages, Stream };

    Kind kind = Kind::Plain;
    std::string path;          // main database files: to find their journals' keys
    TableKeys::Salt salt{};    // Pages, and Stream journals
    TableKeys::KeyPointer key; // null when it cannot be deciphered: reads and writes fail
    int pageSize = 0;          // Pages; 0 until a new file's first write
    qint64 shift = 0;          // Stream: the journal header before the content
    bool headerOnDisk = false; // Stream journals
    unsigned char nonce[PageCipher::StreamNonceSize] = {};
    std::vector<unsigned char> scratch;
};

struct ShimFile
{
    sqlite3_file base;
    FileState *state;
};

// The real file follows our part, aligned for whatever it holds.
constexpr int ShimSize = int((sizeof(ShimFile) + 15) & ~std::size_t(15));

sqlite3_file *realFile(sqlite3_file *file)
{
    return reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + ShimSize);
}

FileState &stateOf(sqlite3_file *file)
{
    return *reinterpret_cast<ShimFile *>(file)->state;
}

sqlite3_vfs *rootVfs()
{
    static sqlite3_vfs *root = sqlite3_vfs_find(nullptr);
    return root;
}

// The protected main database files that are open, for the journals SQLite opens beside them.
struct OpenDatabases
{
    std::mutex mutex;
    std::vector<const FileState *> files;

    void add(const FileState *file)
    {
        const std::lock_guard lock(mutex);
        files.push_back(file);
    }
    void remove(const FileState *file)
    {
        const std::lock_guard lock(mutex);
        files.erase(std::remove(files.begin(), files.end(), file), files.end());
    }
    // Salt and key of the protected database that a journal of this name belongs to.
    bool find(const std::string &journal, TableKeys::Salt *salt, TableKeys::KeyPointer *key)
    {
        const std::lock_guard lock(mutex);
        for (const FileState *file : files) {
            const bool ours = journal.size() > file->path.size() &&
                              journal.compare(0, file->path.size(), file->path) == 0 &&
                              journal[file->path.size()] == '-';
            if (ours && file->key) {
                *salt = file->salt;
                *key = file->key;
                return true;
            }
        }
        return false;
    }
};

OpenDatabases &openDatabases()
{
    static OpenDatabases instance;
    return instance;
}

bool allZero(const unsigned char *data, int size)
{
    return std::all_of(data, data + size, [](unsigned char byte) { return byte == 0; });
}

// --- pages ---------------------------------------------------------------------------------

// One whole page at its place, deciphered into `page`.
int readPage(sqlite3_file *file, unsigned char *page, sqlite3_int64 pageIndex)
{
    FileState &state = stateOf(file);
    sqlite3_file *real = realFile(file);
    const int rc = real->pMethods->xRead(real, page, state.pageSize, pageIndex * state.pageSize);
    if (rc == SQLITE_IOERR_SHORT_READ && allZero(page, state.pageSize))
        return rc; // beyond the end: SQLite takes it as an empty page
    if (rc == SQLITE_IOERR_SHORT_READ)
        return SQLITE_IOERR_DATA; // a page cut short
    if (rc != SQLITE_OK)
        return rc;
    if (!state.key || !PageCipher::open(page, state.pageSize, quint32(pageIndex + 1), *state.key))
        return SQLITE_IOERR_DATA;
    return SQLITE_OK;
}

int readPages(sqlite3_file *file, unsigned char *buffer, int amount, sqlite3_int64 offset)
{
    FileState &state = stateOf(file);
    if (state.pageSize == 0) { // a new file not yet written, or a damaged header
        sqlite3_file *real = realFile(file);
        const int rc = real->pMethods->xRead(real, buffer, amount, offset);
        return rc == SQLITE_OK || (rc == SQLITE_IOERR_SHORT_READ && !allZero(buffer, amount))
                   ? SQLITE_IOERR_DATA
                   : rc;
    }
    const int pageSize = state.pageSize;
    int result = SQLITE_OK;
    for (sqlite3_int64 at = offset; at < offset + amount;) {
        const sqlite3_int64 pageIndex = at / pageSize;
        const int inPage = int(at % pageSize);
        const int taken = int(std::min<sqlite3_int64>(pageSize - inPage, offset + amount - at));
        unsigned char *target = buffer + (at - offset);
        int rc;
        if (inPage == 0 && taken == pageSize) {
            rc = readPage(file, target, pageIndex);
        } else { // the header's few bytes: the whole page, then the part asked for
            state.scratch.resize(std::size_t(pageSize));
            rc = readPage(file, state.scratch.data(), pageIndex);
            std::memcpy(target, state.scratch.data() + inPage, std::size_t(taken));
        }
        if (rc == SQLITE_IOERR_SHORT_READ)
            result = rc;
        else if (rc != SQLITE_OK)
            return rc;
        at += taken;
    }
    return result;
}

int writePage(sqlite3_file *file, const unsigned char *page, int amount, sqlite3_int64 offset)
{
    FileState &state = stateOf(file);
    // Only whole pages ever reach a database file; a new size comes with a rewrite of the file.
    const bool wholePage =
        amount >= 512 && amount <= 65536 && (amount & (amount - 1)) == 0 && offset % amount == 0;
    if (!wholePage || !state.key)
        return SQLITE_IOERR_WRITE;
    state.pageSize = amount;
    state.scratch.assign(page, page + amount);
    if (!PageCipher::seal(state.scratch.data(), amount, quint32(offset / amount + 1), state.salt,
                          *state.key))
        return SQLITE_IOERR_WRITE;
    sqlite3_file *real = realFile(file);
    return real->pMethods->xWrite(real, state.scratch.data(), amount, offset);
}

// --- streams -------------------------------------------------------------------------------

int streamRead(sqlite3_file *file, unsigned char *buffer, int amount, sqlite3_int64 offset)
{
    FileState &state = stateOf(file);
    sqlite3_file *real = realFile(file);
    if (!state.key)
        return SQLITE_IOERR_DATA;
    const int rc = real->pMethods->xRead(real, buffer, amount, offset + state.shift);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ)
        return rc;
    sqlite3_int64 available = amount;
    if (rc == SQLITE_IOERR_SHORT_READ) { // deciphered only as far as the file goes
        sqlite3_int64 size = 0;
        if (real->pMethods->xFileSize(real, &size) != SQLITE_OK)
            return SQLITE_IOERR_READ;
        available = std::clamp<sqlite3_int64>(size - state.shift - offset, 0, amount);
    }
    PageCipher::streamXor(buffer, std::size_t(available), quint64(offset), state.nonce, *state.key);
    return rc;
}

int writeJournalHeader(sqlite3_file *file)
{
    FileState &state = stateOf(file);
    sqlite3_file *real = realFile(file);
    unsigned char header[PageCipher::JournalHeaderSize];
    PageCipher::makeJournalHeader(header, state.salt);
    std::memcpy(state.nonce, PageCipher::journalNonce(header), sizeof state.nonce);
    int rc = real->pMethods->xTruncate(real, 0); // a header cut short by an earlier end
    if (rc == SQLITE_OK)
        rc = real->pMethods->xWrite(real, header, sizeof header, 0);
    state.headerOnDisk = rc == SQLITE_OK;
    return rc;
}

int streamWrite(sqlite3_file *file, const unsigned char *data, int amount, sqlite3_int64 offset)
{
    FileState &state = stateOf(file);
    if (!state.key)
        return SQLITE_IOERR_WRITE;
    if (state.shift > 0 && !state.headerOnDisk) {
        if (const int rc = writeJournalHeader(file); rc != SQLITE_OK)
            return rc;
    }
    state.scratch.assign(data, data + amount);
    PageCipher::streamXor(state.scratch.data(), state.scratch.size(), quint64(offset), state.nonce,
                          *state.key);
    sqlite3_file *real = realFile(file);
    return real->pMethods->xWrite(real, state.scratch.data(), amount, offset + state.shift);
}

// --- io methods ----------------------------------------------------------------------------

int shimClose(sqlite3_file *file)
{
    FileState *state = reinterpret_cast<ShimFile *>(file)->state;
    openDatabases().remove(state);
    sqlite3_file *real = realFile(file);
    const int rc = real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
    delete state;
    return rc;
}

int shimRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    auto *bytes = static_cast<unsigned char *>(buffer);
    switch (stateOf(file).kind) {
    case FileState::Kind::Pages:
        return readPages(file, bytes, amount, offset);
    case FileState::Kind::Stream:
        return streamRead(file, bytes, amount, offset);
    case FileState::Kind::Plain:
        break;
    }
    sqlite3_file *real = realFile(file);
    return real->pMethods->xRead(real, buffer, amount, offset);
}

int shimWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    const auto *bytes = static_cast<const unsigned char *>(buffer);
    switch (stateOf(file).kind) {
    case FileState::Kind::Pages:
        return writePage(file, bytes, amount, offset);
    case FileState::Kind::Stream:
        return streamWrite(file, bytes, amount, offset);
    case FileState::Kind::Plain:
        break;
    }
    sqlite3_file *real = realFile(file);
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int shimTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    FileState &state = stateOf(file);
    sqlite3_file *real = realFile(file);
    if (state.kind != FileState::Kind::Stream || state.shift == 0)
        return real->pMethods->xTruncate(real, size);
    if (size > 0)
        return real->pMethods->xTruncate(real, size + state.shift);
    state.headerOnDisk = false; // the next content gets a new nonce
    return real->pMethods->xTruncate(real, 0);
}

int shimSync(sqlite3_file *file, int flags)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xSync(real, flags);
}

int shimFileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    FileState &state = stateOf(file);
    sqlite3_file *real = realFile(file);
    const int rc = real->pMethods->xFileSize(real, size);
    if (rc == SQLITE_OK && state.kind == FileState::Kind::Stream && state.shift > 0)
        *size = state.headerOnDisk ? std::max<sqlite3_int64>(0, *size - state.shift) : 0;
    return rc;
}

int shimLock(sqlite3_file *file, int level)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xLock(real, level);
}

int shimUnlock(sqlite3_file *file, int level)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xUnlock(real, level);
}

int shimCheckReservedLock(sqlite3_file *file, int *reserved)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xCheckReservedLock(real, reserved);
}

int shimFileControl(sqlite3_file *file, int operation, void *argument)
{
    if (operation == FileControlIsProtected) {
        *static_cast<int *>(argument) = stateOf(file).kind == FileState::Kind::Pages ? 1 : 0;
        return SQLITE_OK;
    }
    sqlite3_file *real = realFile(file);
    return real->pMethods->xFileControl(real, operation, argument);
}

int shimSectorSize(sqlite3_file *file)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xSectorSize(real);
}

int shimDeviceCharacteristics(sqlite3_file *file)
{
    sqlite3_file *real = realFile(file);
    return real->pMethods->xDeviceCharacteristics(real);
}

// Version 1: no shared memory and no memory mapping, so every page passes through us.
const sqlite3_io_methods ShimMethods = {
    1,
    shimClose,
    shimRead,
    shimWrite,
    shimTruncate,
    shimSync,
    shimFileSize,
    shimLock,
    shimUnlock,
    shimCheckReservedLock,
    shimFileControl,
    shimSectorSize,
    shimDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// --- open ----------------------------------------------------------------------------------

sqlite3_int64 realSize(sqlite3_file *real)
{
    sqlite3_int64 size = 0;
    return real->pMethods->xFileSize(real, &size) == SQLITE_OK ? size : -1;
}

int openDatabase(const char *name, sqlite3_file *real, FileState &state)
{
    state.path = name;
    const sqlite3_int64 size = realSize(real);
    if (size < 0)
        return SQLITE_IOERR_FSTAT;
    unsigned char prefix[PageCipher::PrefixSize] = {};
    if (size >= PageCipher::PrefixSize) {
        if (const int rc = real->pMethods->xRead(real, prefix, sizeof prefix, 0); rc != SQLITE_OK)
            return rc;
    }
    if (size >= PageCipher::PrefixSize && PageCipher::isProtectedFile(prefix)) {
        state.kind = FileState::Kind::Pages;
        // A damaged header or an unknown key leaves the key null: every read then fails.
        if (const auto header = PageCipher::readHeader(prefix)) {
            state.salt = header->salt;
            state.pageSize = header->pageSize;
            state.key = TableKeys::keyFor(header->salt);
        }
    } else if (size == 0 && sqlite3_uri_boolean(name, "protect", 0)) {
        const auto keys = TableKeys::forNewFile();
        if (!keys)
            return SQLITE_CANTOPEN; // no table password registered
        state.kind = FileState::Kind::Pages;
        state.salt = keys->first;
        state.key = keys->second;
    }
    if (state.kind == FileState::Kind::Pages)
        openDatabases().add(&state);
    return SQLITE_OK;
}

int openJournal(const char *name, sqlite3_file *real, FileState &state)
{
    const sqlite3_int64 size = realSize(real);
    if (size < 0)
        return SQLITE_IOERR_FSTAT;
    unsigned char header[PageCipher::JournalHeaderSize] = {};
    if (size >= PageCipher::JournalHeaderSize) {
        if (const int rc = real->pMethods->xRead(real, header, sizeof header, 0); rc != SQLITE_OK)
            return rc;
    }
    if (size >= PageCipher::JournalHeaderSize && PageCipher::isJournalHeader(header)) {
        state.kind = FileState::Kind::Stream;
        state.shift = PageCipher::JournalHeaderSize;
        state.headerOnDisk = true;
        state.salt = PageCipher::journalSalt(header);
        std::memcpy(state.nonce, PageCipher::journalNonce(header), sizeof state.nonce);
        state.key = TableKeys::keyFor(state.salt);
        return SQLITE_OK;
    }
    // An empty journal (or one cut short before its header was complete, which SQLite never
    // plays back) of a protected database starts enciphered; any other stays plain.
    const bool unused = size < PageCipher::JournalHeaderSize;
    if (unused && openDatabases().find(name, &state.salt, &state.key)) {
        state.kind = FileState::Kind::Stream;
        state.shift = PageCipher::JournalHeaderSize;
    }
    return SQLITE_OK;
}

int shimOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *shim = reinterpret_cast<ShimFile *>(file);
    shim->base.pMethods = nullptr;
    shim->state = nullptr;
    sqlite3_file *real = realFile(file);
    sqlite3_vfs *root = rootVfs();
    int rc = root->xOpen(root, name, real, flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    auto *state = new FileState;
    shim->state = state;
    if (flags & SQLITE_OPEN_MAIN_DB) {
        rc = openDatabase(name, real, *state);
    } else if (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL)) {
        rc = openJournal(name, real, *state);
    } else if (flags & SQLITE_OPEN_WAL) {
        TableKeys::Salt salt;
        TableKeys::KeyPointer key;
        if (openDatabases().find(name, &salt, &key))
            rc = SQLITE_CANTOPEN; // a write-ahead log would hold plain pages
    } else { // temporary databases, statement journals, sorter files: nobody reads them later
        state->kind = FileState::Kind::Stream;
        state->key = TableKeys::randomKey();
        randombytes_buf(state->nonce, sizeof state->nonce);
    }
    if (rc != SQLITE_OK) {
        openDatabases().remove(state);
        real->pMethods->xClose(real);
        delete state;
        shim->state = nullptr;
        return rc;
    }
    shim->base.pMethods = &ShimMethods;
    return SQLITE_OK;
}

// Everything but opening a file is the root VFS's business.
int shimDelete(sqlite3_vfs *, const char *name, int syncDirectory)
{
    return rootVfs()->xDelete(rootVfs(), name, syncDirectory);
}

int shimAccess(sqlite3_vfs *, const char *name, int flags, int *result)
{
    return rootVfs()->xAccess(rootVfs(), name, flags, result);
}

int shimFullPathname(sqlite3_vfs *, const char *name, int size, char *out)
{
    return rootVfs()->xFullPathname(rootVfs(), name, size, out);
}

void *shimDlOpen(sqlite3_vfs *, const char *name)
{
    return rootVfs()->xDlOpen(rootVfs(), name);
}

void shimDlError(sqlite3_vfs *, int size, char *message)
{
    rootVfs()->xDlError(rootVfs(), size, message);
}

void (*shimDlSym(sqlite3_vfs *, void *library, const char *symbol))(void)
{
    return rootVfs()->xDlSym(rootVfs(), library, symbol);
}

void shimDlClose(sqlite3_vfs *, void *library)
{
    rootVfs()->xDlClose(rootVfs(), library);
}

int shimRandomness(sqlite3_vfs *, int size, char *out)
{
    return rootVfs()->xRandomness(rootVfs(), size, out);
}

int shimSleep(sqlite3_vfs *, int microseconds)
{
    return rootVfs()->xSleep(rootVfs(), microseconds);
}

int shimCurrentTime(sqlite3_vfs *, double *now)
{
    return rootVfs()->xCurrentTime(rootVfs(), now);
}

int shimGetLastError(sqlite3_vfs *, int size, char *out)
{
    return rootVfs()->xGetLastError(rootVfs(), size, out);
}

int shimCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *now)
{
    return rootVfs()->xCurrentTimeInt64(rootVfs(), now);
}

sqlite3_vfs makeVfs()
{
    sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = ShimSize + rootVfs()->szOsFile;
    vfs.mxPathname = rootVfs()->mxPathname;
    vfs.zName = VfsName;
    vfs.xOpen = shimOpen;
    vfs.xDelete = shimDelete;
    vfs.xAccess = shimAccess;
    vfs.xFullPathname = shimFullPathname;
    vfs.xDlOpen = shimDlOpen;
    vfs.xDlError = shimDlError;
    vfs.xDlSym = shimDlSym;
    vfs.xDlClose = shimDlClose;
    vfs.xRandomness = shimRandomness;
    vfs.xSleep = shimSleep;
    vfs.xCurrentTime = shimCurrentTime;
    vfs.xGetLastError = shimGetLastError;
    vfs.xCurrentTimeInt64 = shimCurrentTimeInt64;
    return vfs;
}

} // namespace

const char *name()
{
    static sqlite3_vfs vfs = makeVfs();
    static const int registered = sqlite3_vfs_register(&vfs, 0);
    Q_UNUSED(registered)
    return VfsName;
}

QString fileUri(const QString &path, bool protect, const QString &mode)
{
    QStringList parameters;
    if (!mode.isEmpty())
        parameters.append(QStringLiteral("mode=") + mode);
    if (protect)
        parameters.append(QStringLiteral("protect=1"));
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")) +
           (parameters.isEmpty() ? QString()
                                 : QLatin1Char('?') + parameters.join(QLatin1Char('&')));
}

bool isProtected(sqlite3 *db, const QString &schema)
{
    int isProtectedFile = 0;
    return sqlite3_file_control(db, schema.toUtf8().constData(), FileControlIsProtected,
                                &isProtectedFile) == SQLITE_OK &&
           isProtectedFile == 1;
}

JournalReader::JournalReader(const QString &path) : m_file(path) {}

bool JournalReader::open()
{
    if (!m_file.exists())
        return true;
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    m_size = m_file.size();
    const QByteArray header = m_file.read(PageCipher::JournalHeaderSize);
    const auto *bytes = reinterpret_cast<const unsigned char *>(header.constData());
    if (header.size() < PageCipher::JournalHeaderSize || !PageCipher::isJournalHeader(bytes))
        return true; // plain, or too short for SQLite to play back
    m_key = TableKeys::keyFor(PageCipher::journalSalt(bytes));
    m_nonce = QByteArray(reinterpret_cast<const char *>(PageCipher::journalNonce(bytes)),
                         PageCipher::StreamNonceSize);
    m_shift = PageCipher::JournalHeaderSize;
    m_size -= m_shift;
    return m_key != nullptr;
}

bool JournalReader::read(qint64 offset, qint64 length, QByteArray *data)
{
    if (!m_file.isOpen() || !m_file.seek(offset + m_shift))
        return false;
    *data = m_file.read(length);
    if (data->size() != length)
        return false;
    if (m_key) {
        PageCipher::streamXor(reinterpret_cast<unsigned char *>(data->data()),
                              std::size_t(data->size()), quint64(offset),
                              reinterpret_cast<const unsigned char *>(m_nonce.constData()), *m_key);
    }
    return true;
}

} // namespace ProtectedVfs
