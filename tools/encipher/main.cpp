// Build-time helper: writes the header that holds the enciphered master and table passwords,
// so that the plain passwords never reach the program file.
#include "users/ciphers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr)
            << "Použití: velmora-encipher HLAVIČKA HESLO_ADMINISTRÁTORA HESLO_TABULEK\n";
        return 2;
    }
    const QString master = Ciphers::encipherSecret(args.at(2), Ciphers::Purpose::MasterPassword);
    const QString table = Ciphers::encipherSecret(args.at(3), Ciphers::Purpose::TablePassword);
    if (args.at(2).isEmpty() || args.at(3).isEmpty() || master.isEmpty() || table.isEmpty()) {
        QTextStream(stderr) << "Heslo musí mít 1 až 16 znaků kódování Windows-1250.\n";
        return 1;
    }
    QFile header(args.at(1));
    if (!header.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream(stderr) << "Nelze zapsat " << args.at(1) << '\n';
        return 1;
    }
    QTextStream out(&header);
    out << "#pragma once\n\n// Generated at build time by velmora-encipher.\n"
        << "inline constexpr char MasterPasswordCipherText[] = \"" << master << "\";\n"
        << "inline constexpr char TablePasswordCipherText[] = \"" << table << "\";\n";
    return 0;
}
