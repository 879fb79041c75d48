// The life of the process: read the stored settings, run the window with
// them, then write them back or remove them, as the window's "keep the
// settings" box asks.
//
// The settings exist when the application's store exists; a stored layout
// other than the current one is wiped before anything is read.  Reading
// never creates the store, so a run that ends with the box clear leaves no
// trace (the company folder stays only when another application uses it).
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace ruv {

class ConvertDialog;

class ConverterApp {
public:
    explicit ConverterApp(QString company = QStringLiteral("Torvane"),
                          QString application = QStringLiteral("ruv"));

    // Runs the window over the paths given to the program; the exit status.
    int Run(const std::vector<std::string>& paths);

    // Before the window runs: the box and the options from the store.
    void StartUp(ConvertDialog& dialog) const;
    // After it has closed with result: the options saved, or the store removed.
    void ShutDown(const ConvertDialog& dialog, int result) const;

private:
    QString company_;
    QString application_;
};

}  // namespace ruv
