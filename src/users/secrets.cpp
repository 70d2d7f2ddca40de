#include "users/secrets.h"

#include "data/tablekeys.h"
#include "users/ciphers.h"
#include "users/secrettexts.h"

#include <sodium.h>

QString MasterPassword()
{
    return Ciphers::decipherSecret(QLatin1String(MasterPasswordCipherText),
                                   Ciphers::Purpose::MasterPassword)
        .value_or(QString());
}

QString tablePassword()
{
    return Ciphers::decipherSecret(QLatin1String(TablePasswordCipherText),
                                   Ciphers::Purpose::tablePassword)
        .value_or(QString());
}

void RegisterTablePassword()
{
    QString password = tablePassword();
    TableKeys::registerPassword(password);
    sodium_memzero(password.data(), std::size_t(password.size()) * sizeof(QChar));
}
