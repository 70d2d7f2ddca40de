#include "fakes/tableinstallation.h"

TableInstallation::TableInstallation()
{
    QString error;
    if (!createInstallation(dir.path(), &error))
        qFatal("%s", qPrintable(error));
    money.setObjectName(QStringLiteral("TableMoney"));
    solars.setObjectName(QStringLiteral("TableSolars"));
    sales.setObjectName(QStringLiteral("TableSaleSolars"));
    solars.setCalculatedFields(solarsTable().calculatedFields);
    solars.setCalcFieldsCallback(TableSolarsCalcFields);
    sales.setCalculatedFields(saleSolarsTable().calculatedFields);
    sales.setCalcFieldsCallback(TableSaleSolarsCalcFields);
}
