#pragma once

#include "data/config/settingsstore.h"

// The name of the last login, kept in the section [User] and offered at the next login.
class LoginSettingsStore : public SettingsStore
{
public:
    static constexpr QLatin1String ComboBoxUser{"ComboBoxUser_Text"};

    explicit LoginSettingsStore(const QString &fileName = defaultFileName());

    QString lastUser() const { return text(ComboBoxUser); }
    void setLastUser(const QString &name) { setText(ComboBoxUser, name); }
};
