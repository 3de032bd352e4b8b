#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace korvane {

bool installQtTranslations()
{
    QCoreApplication *const app = QCoreApplication::instance();
    if (!app)
        return false;
    // The interface is Chinese whatever the machine's locale says, and so are Qt's words.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setParent(app);
    return QCoreApplication::installTranslator(translator.release());
}

} // namespace korvane
