#pragma once

#include "core/textfile.h"

#include <QList>
#include <QString>

#include <array>

enum UserRight { RightSolars = 0, RightSaleSolars = 1, RightSetup = 2, RightSpecial = 3 };
inline constexpr int UserRightCount = 4;

struct User
{
    QString name;
    QString password;
    std::array<bool, UserRightCount> rights = {true, true, true, true}; // a new user gets all
};

// The desk's users with their passwords and rights, kept in the enciphered users file.
class UserRegister
{
public:
    static constexpr int MaxUsers = 16;
    static constexpr int MaxTextLength = 16; // names and passwords
    static constexpr int RecordSize = 38;

    enum class LoadResult { Loaded, Missing, Damaged };

    const QList<User> &users() const { return m_users; }
    QStringList names() const;
    int count() const { return int(m_users.size()); }
    bool isEmpty() const { return m_users.isEmpty(); }
    bool isFull() const { return m_users.size() >= MaxUsers; }

    // The user whose name equals the given one without regard to letter case, or nullptr.
    const User *GetUserItem(const QString &name) const;
    int indexOf(const QString &name) const;

    // Keeps the register in the platform's locale-aware order of names.
    void add(const User &user);
    void removeAt(int index);
    void setPassword(int index, const QString &password);
    void setRight(int index, UserRight right, bool granted);
    void clear() { m_users.clear(); }

    // Replaces the register by the file's content; a damaged file leaves the register empty.
    LoadResult load(const QString &path);
    // Writes the file for the owner alone. A file already there that does not open as a users
    // file is never written over: it is first renamed to the first free name of "<file>.bad",
    // "<file>.bad2", ..., reported in *keptDamaged; if that fails, nothing is written.
    FileResult save(const QString &path, QString *keptDamaged = nullptr) const;

    // The plain file content: one 38-byte record per user, in the register's order.
    static QByteArray encodeRecords(const QList<User> &users);
    static QList<User> decodeRecords(const QByteArray &plain);

private:
    void sort();

    QList<User> m_users;
};

// Names and passwords are Windows-1250 texts of at most 16 characters.
bool isValidUserText(const QString &text);
