// velmora-gen DIR COUNT: a fresh installation in DIR with COUNT generated receipts.

#include "generator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const qint64 count = args.value(2).toLongLong(&ok);
    if (args.size() != 3 || !ok || count < 0) {
        std::fputs("Použití: velmora-gen ADRESÁŘ POČET_DOKLADŮ\n", stderr);
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!generateInstallation(args.at(1), count, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%lld dokladů vytvořeno za %lld ms\n", static_cast<long long>(count),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
