#include "users/secrets.h"

#include "users/ciphers.h"
#include "users/secrettexts.h"

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
