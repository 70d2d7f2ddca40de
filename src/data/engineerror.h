#pragma once

#include <QString>

// Error codes of the table engine. Every failing engine call stores its error as the engine's
// last error (see Engine::lastError). Code 1 is never used: the database-error dialog reads it
// as "nothing to report". SQLite's own result codes are mapped to SqliteBase + extended code.
enum class EngineErrorCode : quint16 {
    None = 0,
    AliasNotFound = 0x2001,    // the alias is not registered in engine.conf
    DirectoryMissing = 0x2002, // the alias directory does not exist
    TableFileMissing = 0x2003, // a table file is missing in the alias directory
    NotConnected = 0x2004,     // the database is not connected
    TableNotOpen = 0x2005,
    TableInUse = 0x2006,    // another program holds the table (exclusive open refused)
    LockFileError = 0x2007, // a control file cannot be opened or locked
    NoCurrentRecord = 0x2008,
    NotEditing = 0x2009, // a value was set outside the edit state
    UnknownField = 0x200A,
    ValueTooLong = 0x200B, // Alpha(n) refuses longer text
    ValueOutOfRange = 0x200C,
    InvalidValue = 0x200D,
    WrongValueCount = 0x200E,
    UnknownIndex = 0x200F,
    IndexExists = 0x2010,
    KeyViolation = 0x2011, // a primary key or unique index refuses a duplicate
    RecordNotFound = 0x2012,
    NotSupported = 0x2013,
    TransactionActive = 0x2014,
    NoTransaction = 0x2015,
    QueryNotOpen = 0x2016,
    FileError = 0x2017,
    TableStructure = 0x2018, // the table file does not hold the expected table
    CannotDecipher = 0x2019, // wrong table password, or a protected file damaged
    NoTablePassword = 0x201A,
    SqliteBase = 0x8000, // + SQLite's extended result code (all below 0x8000)
};

// One engine error: a 16-bit code and a Czech message of at most MaxMessageLength characters.
struct EngineError
{
    static constexpr int MaxMessageLength = 127;

    quint16 code = 0;
    QString message;

    EngineError() = default;
    EngineError(EngineErrorCode errorCode, const QString &text);

    bool isError() const { return code != 0; }
    // Another program holds the table or its file (an exclusive open refused, the file locked):
    // worth another try, unlike a damaged or missing file.
    bool heldByAnotherProgram() const;
    EngineErrorCode errorCode() const { return EngineErrorCode(code); }
};

namespace Engine {

// The engine-wide last error: set by every failing engine call and kept until the next failure
// or clearLastError(), so a later ShowDatabaseError still finds it after a cancel or rollback.
EngineError lastError();
void clearLastError();

// Stores the error as the last error and returns it (for "return fail(...)" chains).
const EngineError &setLastError(const EngineError &error);

} // namespace Engine
