// The one window of ruv: the registered files, the options of a run, the
// start/cancel and exit buttons, a status line and a progress bar.
//
// Start-up writes the stored settings into the option fields, runs the window
// and reads the fields back when it has closed.  Between the two data
// exchanges (towards the controls at initialisation, from them at closing)
// the click handlers keep the fields current.  The window owns the job
// runner; while a run is busy the file commands do nothing and the window
// refuses to close, whoever asks.  The file commands themselves live in
// file_registration.cpp.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "job/conversion_worker.h"
#include "job/registration.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace ruv {

class JobRunner;
enum class JobOutcome;

// What the window asks of the user and the desktop, behind functions that
// tests replace so that nothing modal blocks them.
struct DialogServices {
    // An information box with an OK button.
    std::function<void(QWidget* parent, const QString& text, const QString& caption)> showMessage;
    // The existing files chosen by the user under the filter, starting in
    // folder; none when cancelled.
    std::function<QStringList(QWidget* parent, const QString& folder, const QString& filter)>
        chooseFiles;
    // Runs the about box; 1 when its web-address button closed it.
    std::function<int(QWidget* parent)> runAboutBox;
    std::function<void(const QUrl& url)> openUrl;

    // The real message box, file chooser, about box and browser.
    static DialogServices Desktop();
};

// The status line after a run: files converted, unchanged, skipped, failed.
QString RunSummary(const JobReport& report);

class ConvertDialog : public QDialog {
    Q_OBJECT

public:
    explicit ConvertDialog(QWidget* parent = nullptr);
    ~ConvertDialog() override;

    // Option fields, as the stored settings and the controls hold them:
    // check states 0..2, radio indexes 0.. or -1 for none.
    int fullPathWidth = 200;
    int codeWidth = 75;
    int fileNameWidth = 190;
    int autoDetect = 0;
    int filterIndex = 0;
    int halfWidthKana = 0;
    int sourceIndex = -1;
    int newlineIndex = -1;
    int targetIndex = -1;
    int saveSettings = 0;
    int backup = 0;
    // The window's size and place (QWidget::saveGeometry), empty: the default.
    QByteArray windowGeometry;

    // Paths handed to the program, each registered in order at initialisation.
    std::vector<std::string> commandLine;
    DialogServices services = DialogServices::Desktop();

    // Puts the fields on the controls, sets up the list and registers the
    // command line; once.  RunModal does it before showing the window.
    void Initialise();
    int RunModal();
    bool IsBusy() const;

    void ExchangeToControls();
    // Also reads back the window's geometry and the list's column widths.
    void ExchangeFromControls();
    void ApplyAutoDetect();
    // Shows on the half-width kana box what the target does with them.
    void ApplyHalfWidthKana();

    // Starts a run over the listed files, or asks the run under way to stop.
    void StartOrCancelJob();
    // Follows the run every 10 ms; at its end refreshes the labels and reports it.
    void PollJob();
    // The boxes at the end of a run: the cancel, or the failure with the file
    // and its reason, then the files that lost characters; the files named are
    // selected in the list.
    void ReportRun(const JobReport& report, JobOutcome outcome);
    // Detects every listed file again, so the list shows the codes after a run.
    void RefreshLabels();
    void ShowAbout();
    // Opens a read-only look into the item's file (file_preview_dialog.cpp),
    // read as its detected code or the chosen source code.
    void ShowPreview(QTreeWidgetItem* item);
    // For a process told to quit: cancels the run under way, waits for the
    // worker (the file under way stays as it was), then closes as Exit does.
    void CancelAndClose();

    // File registration (file_registration.cpp).
    void RegisterCommandLine(const std::vector<std::string>& paths);
    void AcceptDroppedFiles(const QList<QUrl>& urls);
    void ChooseFile();
    void ClearFiles();
    void RemoveSelectedFiles();
    void ApplyExtensionFilter();
    void AddPath(const std::filesystem::path& path);

    // Every way of closing ends here; refused while a run is busy.
    void done(int result) override;
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QLayout* createFileGroup();
    QLayout* createButtonColumn();
    QGroupBox* createSourceGroup();
    QGroupBox* createTargetGroup();
    QLayout* createStatusRow();
    void createAboutAction();
    void createShortcuts();
    void setFileCommandsEnabled(bool enabled);
    void connectControls();
    void arrangeTabOrder();
    void endRun(bool report);
    bool handleEnter(const QKeyEvent& event);
    // Bulk registration sorts the list once, at the end of the outermost batch.
    void beginBatch();
    void endBatch();
    void removeItem(int index);

    QPushButton* startButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* chooseButton_ = nullptr;
    QTreeWidget* fileList_ = nullptr;
    QComboBox* filterBox_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QButtonGroup* sourceButtons_ = nullptr;
    QCheckBox* autoDetectBox_ = nullptr;
    QButtonGroup* targetButtons_ = nullptr;
    QCheckBox* halfWidthKanaBox_ = nullptr;
    QButtonGroup* newlineButtons_ = nullptr;
    QCheckBox* backupBox_ = nullptr;
    QCheckBox* saveSettingsBox_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* pollTimer_ = nullptr;

    std::unique_ptr<JobRunner> runner_;
    // The listed files, so that each is listed once.
    Registrar registrar_;
    int batchDepth_ = 0;
    std::int32_t shownFile_ = -1;
    bool initialised_ = false;
    QString chooserFolder_;   // where the chooser opens: the last file registered or chosen
    QElapsedTimer runEnded_;  // since the last run ended; invalid before the first
};

}  // namespace ruv
