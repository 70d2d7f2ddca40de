#include "desk/settings/printsettingsstore.h"

PrintSettingsStore::PrintSettingsStore(const QString &fileName)
    : SettingsStore(QStringLiteral("SetupPrint"), fileName)
{
    for (const QLatin1String memo : {MemoAddress, MemoTitle, MemoInfo})
        addLines(memo, {}, LinesShown::AsMemo);
    addChoice(RadioButtonManual, RadioButtonAuto, true);
}

void PrintSettingsStore::limitLines(QLatin1String memo, int maxLines, const PrintedLines &printed)
{
    m_limits.append({memo, maxLines, printed});
    applyLimit(m_limits.constLast());
}

void PrintSettingsStore::afterRead()
{
    for (const Limit &limit : std::as_const(m_limits))
        applyLimit(limit);
}

void PrintSettingsStore::applyLimit(const Limit &limit)
{
    setLines(limit.memo, linesThatFit(lines(limit.memo), limit.maxLines, limit.printed));
}
