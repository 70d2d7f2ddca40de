#include "ui/common/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installCzechQtTexts()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_cs"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
