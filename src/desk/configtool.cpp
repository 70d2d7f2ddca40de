#include "desk/configtool.h"

#include "core/paths.h"
#include "core/programvalues.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

bool launchConfigurationTool()
{
    const QString name = QStringLiteral("velmora-dbconfig");
    QString program = JoinPath(Program().ProgramDir, name);
    if (!QFileInfo(program).isExecutable())
        program = QStandardPaths::findExecutable(name);
    return !program.isEmpty() && QProcess::startDetached(program, {});
}
