// ruv: the window that converts Japanese text files between kanji codes.
#include <QApplication>
#include <QLocale>

#include <string>
#include <vector>

#include "app/converter_app.h"
#include "ui/app_icon.h"
#include "ui/translations.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ruv::ui::AppIcon());
    QApplication::setDesktopFileName(QStringLiteral("ruv"));
    ruv::ui::InstallTranslations(application, QLocale::system().uiLanguages());
    // Each argument is one path, registered in order, as the shell split them.
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) paths.emplace_back(argv[i]);
    return ruv::ConverterApp().Run(paths);
}
