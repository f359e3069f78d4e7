#include "platform/ui/qt/Translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InstallChineseTranslations() {
    static QTranslator* installed = nullptr;
    if (installed != nullptr || QCoreApplication::instance() == nullptr) {
        return;
    }
    // Owned by the application, so it goes when the application does.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    QObject::connect(translator, &QObject::destroyed, [] { installed = nullptr; });
}
