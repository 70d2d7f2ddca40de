#include "users/secrets.h"

#include "users/ciphers.h"
#include "users/secrettexts.h"

QString MasterPassword()
{
    return Ciphers::decipherSecret(QLatin1String(MasterPasswordCipherText),
                                   Ciphers::Purpose::MasterPassword)
        .value_or(QString());
}

QString TablePassword()
{
    return Ciphers::decipherSecret(QLatin1String(TablePasswordCipherText),
                                   Ciphers::Purpose::TablePassword)
        .value_or(QString());
}
