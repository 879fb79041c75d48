#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ruv::ui {

bool KeepsOriginalTexts(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) return true;
    const QString first = uiLanguages.front();
    return first == QLatin1String("C") || first == QLatin1String("POSIX") ||
           first.startsWith(QLatin1String("ja"));
}

// The translators belong to the application and live as long as it does.
void InstallTranslations(QCoreApplication& app, const QStringList& uiLanguages) {
    auto* translator = new QTranslator(&app);
    const bool loaded = KeepsOriginalTexts(uiLanguages)
                            ? translator->load(QStringLiteral("qtbase_ja"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                            : translator->load(QStringLiteral(":/ruv/i18n/ruv_en.qm"));
    if (loaded) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace ruv::ui
