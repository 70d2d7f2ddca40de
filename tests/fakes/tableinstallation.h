#pragma once

#include "data/database.h"
#include "data/table.h"
#include "desk/salonschema.h"

#include <QTemporaryDir>

// A fresh installation in a temporary folder with the program's table objects as the desk names
// and calculates them; not yet connected.
struct TableInstallation
{
    TableInstallation();

    bool connect() { return database.connectDirectory(dir.path()); }
    bool connectAndOpen() { return connect() && money.open() && solars.open() && sales.open(); }

    QTemporaryDir dir;
    Database database{deskDatabaseSchema()};
    Table money{&database, QStringLiteral("Money.DB")};
    Table solars{&database, QStringLiteral("Solars.DB")};
    Table sales{&database, QStringLiteral("SaleSolars.DB")};
};
