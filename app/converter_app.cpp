#include "app/converter_app.h"

#include <QGuiApplication>
#include <QSettings>

#include "app/quit_signals.h"
#include "app/registry_tool.h"
#include "app/settings_store.h"
#include "ui/convert_dialog.h"

namespace ruv {

ConverterApp::ConverterApp(QString company, QString application)
    : company_(std::move(company)), application_(std::move(application)) {}

int ConverterApp::Run(const std::vector<std::string>& paths) {
    ConvertDialog dialog;
    dialog.commandLine = paths;
    StartUp(dialog);

    // Told to quit (a signal, the end of the desktop session): stop the run
    // under way and wait for it, then close as Exit does.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &dialog,
                     &ConvertDialog::CancelAndClose);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(app, &QGuiApplication::commitDataRequest, &dialog,
                         &ConvertDialog::CancelAndClose);
        QObject::connect(app, &QCoreApplication::aboutToQuit, &dialog,
                         &ConvertDialog::CancelAndClose);
    }

    const int result = dialog.RunModal();
    ShutDown(dialog, result);
    return 0;
}

void ConverterApp::StartUp(ConvertDialog& dialog) const {
    const RegistryTool registry;
    if (registry.KeyExists(company_, application_)) {
        dialog.saveSettings = 1;
        int layout;
        {
            QSettings store(QSettings::NativeFormat, QSettings::UserScope, company_, application_);
            layout = ReadLayout(store);
        }
        if (layout != SETTINGS_LAYOUT) registry.DeleteSettingsKey(company_, application_);
    }
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, company_, application_);
    const StoredSettings settings = ReadSettings(store);
    dialog.autoDetect = settings.autoDetect;
    dialog.halfWidthKana = settings.halfWidthKana;
    dialog.backup = settings.backup;
    dialog.sourceIndex = settings.sourceIndex;
    dialog.targetIndex = settings.targetIndex;
    dialog.newlineIndex = settings.newlineIndex;
    dialog.fileNameWidth = settings.fileNameWidth;
    dialog.codeWidth = settings.codeWidth;
    dialog.fullPathWidth = settings.fullPathWidth;
    dialog.windowGeometry = settings.windowGeometry;
}

void ConverterApp::ShutDown(const ConvertDialog& dialog, int result) const {
    if (result != 1) return;
    const RegistryTool registry;
    if (dialog.saveSettings != 0) {
        StoredSettings settings;
        settings.autoDetect = dialog.autoDetect;
        settings.halfWidthKana = dialog.halfWidthKana;
        settings.backup = dialog.backup;
        settings.sourceIndex = dialog.sourceIndex;
        settings.targetIndex = dialog.targetIndex;
        settings.newlineIndex = dialog.newlineIndex;
        settings.fileNameWidth = dialog.fileNameWidth;
        settings.codeWidth = dialog.codeWidth;
        settings.fullPathWidth = dialog.fullPathWidth;
        settings.windowGeometry = dialog.windowGeometry;
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, company_, application_);
        WriteSettings(store, settings);
    } else if (registry.KeyExists(company_, application_)) {
        registry.DeleteSettingsKey(company_, application_);
    }
}

}  // namespace ruv
