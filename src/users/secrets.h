#pragma once

#include <QString>

// The built-in administrator's password and the table password, deciphered when needed from
// the forms generated at build time. Never show, log or store what these return.
QString MasterPassword();
QString tablePassword();
