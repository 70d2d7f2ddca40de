#pragma once

#include "users/userregister.h"

#include <optional>

inline const QString AdministratorName = QStringLiteral("Administrator");

// "Administrator" in any letter case belongs to the built-in administrator: no new user may take
// it. A register written before that rule may still hold such a name.
bool isReservedUserName(const QString &name);

// True for the built-in administrator with the master password, or for a registered user
// (name without regard to letter case) with that user's password and, when asked, the right.
// The exact built-in name is never looked up in the register: whoever logs in under it holds
// every right, so only the master password may open it. A registered entry of that name logs in
// under another letter case, with its own rights.
bool CheckPassword(const UserRegister &users, const QString &name, const QString &password,
                   std::optional<UserRight> right = std::nullopt);

// Whether the logged-in user holds the right; the built-in administrator holds every right.
bool HasUserRight(const UserRegister &users, UserRight right);
