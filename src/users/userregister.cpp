#include "users/userregister.h"

#include "core/cp1250.h"
#include "users/ciphers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr int NameOffset = 0;
constexpr int PasswordOffset = 17;
constexpr int RightsOffset = 34;

void putText(QByteArray *record, int offset, const QString &text)
{
    QByteArray bytes;
    Cp1250::encode(text, &bytes); // callers admit only encodable texts (isValidUserText)
    const int length = int(std::min<qsizetype>(bytes.size(), UserRegister::MaxTextLength));
    (*record)[offset] = char(length);
    for (int i = 0; i < length; ++i)
        (*record)[offset + 1 + i] = bytes.at(i);
}

QString takeText(const QByteArray &record, int offset)
{
    const int length =
        std::min<int>(static_cast<unsigned char>(record.at(offset)), UserRegister::MaxTextLength);
    return Cp1250::decode(record.mid(offset + 1, length));
}

// Moves a damaged users file out of the way, so that the register's next save keeps it.
FileResult keepDamagedFile(const QString &path, QString *keptPath)
{
    constexpr int MaxKeptFiles = 100;
    keptPath->clear();
    if (!QFileInfo::exists(path) || UserRegister().load(path) == UserRegister::LoadResult::Loaded)
        return FileResult::success();
    for (int number = 1; number <= MaxKeptFiles; ++number) {
        const QString candidate =
            path + QStringLiteral(".bad") + (number > 1 ? QString::number(number) : QString());
        // rename() refuses an existing target, so an earlier kept file is never replaced.
        if (!QFileInfo::exists(candidate) && QFile::rename(path, candidate)) {
            *keptPath = candidate;
            return FileResult::success();
        }
    }
    return FileResult::failure(
        QStringLiteral("Poškozený soubor %1 nelze uschovat, proto se nepřepisuje.").arg(path));
}

} // namespace

bool isValidUserText(const QString &text)
{
    return !text.isEmpty() && text.size() <= UserRegister::MaxTextLength && Cp1250::canEncode(text);
}

QStringList UserRegister::names() const
{
    QStringList result;
    for (const User &user : m_users)
        result.append(user.name);
    return result;
}

const User *UserRegister::GetUserItem(const QString &name) const
{
    const int index = indexOf(name);
    return index < 0 ? nullptr : &m_users.at(index);
}

int UserRegister::indexOf(const QString &name) const
{
    for (int i = 0; i < m_users.size(); ++i) {
        if (m_users.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void UserRegister::add(const User &user)
{
    m_users.append(user);
    sort();
}

void UserRegister::removeAt(int index)
{
    m_users.removeAt(index);
}

void UserRegister::setPassword(int index, const QString &password)
{
    m_users[index].password = password;
}

void UserRegister::setRight(int index, UserRight right, bool granted)
{
    m_users[index].rights[right] = granted;
}

void UserRegister::sort()
{
    std::stable_sort(m_users.begin(), m_users.end(), [](const User &a, const User &b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
}

UserRegister::LoadResult UserRegister::load(const QString &path)
{
    m_users.clear();
    QFile file(path);
    if (!file.exists())
        return LoadResult::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Damaged;
    const std::optional<QByteArray> plain = Ciphers::openFile(file.readAll());
    if (!plain)
        return LoadResult::Damaged;
    m_users = decodeRecords(*plain);
    sort();
    return LoadResult::Loaded;
}

FileResult UserRegister::save(const QString &path, QString *keptDamaged) const
{
    for (const User &user : m_users) {
        if (!isValidUserText(user.name) || !isValidUserText(user.password))
            return FileResult::failure(
                QStringLiteral("Uživatele %1 nelze uložit: jméno i heslo musí mít 1 až 16 znaků "
                               "kódování Windows-1250.")
                    .arg(user.name));
    }
    QString kept;
    const FileResult keeping = keepDamagedFile(path, &kept);
    if (keptDamaged)
        *keptDamaged = kept;
    if (!keeping.ok())
        return keeping;
    return writeFileAtomically(path, Ciphers::sealFile(encodeRecords(m_users)),
                               FileAccess::OwnerOnly);
}

QByteArray UserRegister::encodeRecords(const QList<User> &users)
{
    QByteArray plain;
    for (const User &user : users) {
        QByteArray record(RecordSize, '\0');
        putText(&record, NameOffset, user.name);
        putText(&record, PasswordOffset, user.password);
        for (int right = 0; right < UserRightCount; ++right)
            record[RightsOffset + right] = user.rights[right] ? 1 : 0;
        plain.append(record);
    }
    return plain;
}

QList<User> UserRegister::decodeRecords(const QByteArray &plain)
{
    QList<User> users;
    for (qsizetype at = 0; at + RecordSize <= plain.size(); at += RecordSize) {
        const QByteArray record = plain.mid(at, RecordSize);
        User user;
        user.name = takeText(record, NameOffset);
        user.password = takeText(record, PasswordOffset);
        for (int right = 0; right < UserRightCount; ++right)
            user.rights[right] = record.at(RightsOffset + right) != 0;
        users.append(user);
    }
    return users;
}
