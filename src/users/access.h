#pragma once

#include "users/userregister.h"

#include <optional>

inline const QString AdministratorName = QStringLiteral("Administrator");

// True for the built-in administrator with the master password, or for a registered user
// (name without regard to letter case) with that user's password and, when asked, the right.
bool CheckPassword(const UserRegister &users, const QString &name, const QString &password,
                   std::optional<UserRight> right = std::nullopt);

// Whether the logged-in user holds the right; the built-in administrator holds every right.
bool HasUserRight(const UserRegister &users, UserRight right);
