#include "users/access.h"

#include "core/programvalues.h"
#include "users/secrets.h"

bool CheckPassword(const UserRegister &users, const QString &name, const QString &password,
                   std::optional<UserRight> right)
{
    if (name == AdministratorName)
        return password == MasterPassword();
    const User *user = users.GetUserItem(name);
    return user && user->password == password && (!right || user->rights[*right]);
}

bool isReservedUserName(const QString &name)
{
    return name.compare(AdministratorName, Qt::CaseInsensitive) == 0;
}

bool HasUserRight(const UserRegister &users, UserRight right)
{
    const QString &current = Program().CurrentUser;
    if (current == AdministratorName)
        return true;
    // A logged-in user whose own row was deleted meanwhile holds no rights any more.
    const User *user = users.GetUserItem(current);
    return user && user->rights[right];
}
