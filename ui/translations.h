// The window's language.  Its texts are the original Japanese ones; a user
// whose first language is another gets them in English from the translation
// built into the program.  C and POSIX count as Japanese, so the original
// texts stay the default.  Qt's own dialogs (the file chooser, standard
// buttons) follow the window's language.
#pragma once

#include <QStringList>

class QCoreApplication;

namespace ruv::ui {

// True when the languages (QLocale::uiLanguages, most wanted first) keep the
// original Japanese texts.
bool KeepsOriginalTexts(const QStringList& uiLanguages);

// Installs on the application the translations the languages ask for: ruv's
// English texts, or Qt's own Japanese ones.
void InstallTranslations(QCoreApplication& app, const QStringList& uiLanguages);

}  // namespace ruv::ui
