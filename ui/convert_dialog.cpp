#include "ui/convert_dialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "detect/code_labels.h"
#include "detect/radio_code.h"
#include "job/file_preview.h"
#include "job/job_runner.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "ui/file_preview_dialog.h"
#include "ui/file_registration.h"
#include "ui/ui_strings.h"

namespace ruv {
namespace {

constexpr int POLL_PERIOD_MS = 10;
// A press of the start button or Enter this soon after a run ended was meant
// for that run (a late cancel): it never starts the next one.
constexpr qint64 RESTART_GUARD_MS = 500;
// Target buttons: the JIS and EUC-JP targets always fold half-width katakana,
// the Unicode ones (from TARGET_UNICODE on) never do; Shift_JIS lets the user choose.
constexpr int TARGET_JIS = 0;
constexpr int TARGET_SJIS = 1;
constexpr int TARGET_EUC = 2;
constexpr int TARGET_UNICODE = 3;
// Files a box about lost characters names; more are summed up as "…".
constexpr std::size_t LOST_FILES_SHOWN = 20;

QString Text(const char* utf8) { return ui::Tr(utf8); }

// The line-end buttons, in the order of the stored index: CR LF, CR, LF.
Newline NewlineOfButton(int index) {
    switch (index) {
        case 1: return Newline::Cr;
        case 2: return Newline::Lf;
        default: return Newline::Crlf;
    }
}

// A push button that Enter never presses: Enter belongs to the whole window.
QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QCheckBox* MakeCheckBox(const char* text, const char* name, const char* tip, QWidget* parent) {
    auto* box = new QCheckBox(Text(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(Text(tip));
    return box;
}

// A framed column of radio buttons numbered 0.. in the order given.
QGroupBox* MakeRadioGroup(const char* title, const char* const* texts, int count,
                          const char* namePrefix, const char* tip, QButtonGroup* group) {
    auto* frame = new QGroupBox(Text(title));
    frame->setToolTip(Text(tip));
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(2);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(Text(texts[i]), frame);
        button->setObjectName(QString::fromLatin1(namePrefix) + QString::number(i));
        group->addButton(button, i);
        column->addWidget(button);
    }
    column->addStretch(1);
    return frame;
}

int CheckValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
        default: return 0;
    }
}

void SetCheckValue(QCheckBox* box, int value) {
    if (value < 0 || value > 2) value = 0;
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

// Checks the button numbered index and clears every other, so that an index
// that names no button leaves the whole group clear.
void SetRadioIndex(QButtonGroup* group, int index) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == index);
    group->setExclusive(true);
}

}  // namespace

DialogServices DialogServices::Desktop() {
    DialogServices services;
    services.showMessage = [](QWidget* parent, const QString& text, const QString& caption) {
        QMessageBox::information(parent, caption, text);
    };
    services.chooseFiles = [](QWidget* parent, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileNames(parent, QString(), folder, filter, nullptr,
                                             QFileDialog::ReadOnly);
    };
    services.runAboutBox = [](QWidget* parent) {
        AboutDialog about(parent);
        return about.exec();
    };
    services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return services;
}

ConvertDialog::ConvertDialog(QWidget* parent)
    : QDialog(parent), runner_(std::make_unique<JobRunner>()) {
    setWindowTitle(Text(ui::TEXT_TITLE));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setWindowIcon(ui::AppIcon());
    setAcceptDrops(true);

    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(POLL_PERIOD_MS);

    auto* top = new QHBoxLayout;
    top->addLayout(createFileGroup(), 1);
    top->addLayout(createButtonColumn());
    auto* options = new QHBoxLayout;
    options->addWidget(createSourceGroup());
    options->addWidget(createTargetGroup());
    options->addStretch(1);  // the option groups keep their natural width
    saveSettingsBox_ =
        MakeCheckBox(ui::TEXT_SAVE_SETTINGS, "saveSettingsBox", ui::TIP_SAVE_SETTINGS, this);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top, 1);
    page->addLayout(options);
    page->addWidget(saveSettingsBox_);
    page->addLayout(createStatusRow());

    // Room for the list's columns without a scroll bar.
    resize(760, 560);
    createAboutAction();
    createShortcuts();
    connectControls();
    arrangeTabOrder();
    // Enter from any control starts or cancels a run: look at every key first.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

ConvertDialog::~ConvertDialog() = default;  // the runner cancels and joins a run under way

QLayout* ConvertDialog::createFileGroup() {
    auto* frame = new QGroupBox(Text(ui::TEXT_FILE_GROUP), this);
    fileList_ = new QTreeWidget(frame);
    fileList_->setObjectName(QStringLiteral("fileList"));
    fileList_->setRootIsDecorated(false);
    fileList_->setUniformRowHeights(true);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    fileList_->setMinimumSize(460, 150);
    fileList_->header()->setSectionsClickable(false);  // the order is by name, descending
    fileList_->header()->setStretchLastSection(true);  // no scroll bar while the columns fit
    fileList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fileList_->setHeaderLabels({ui::UiString(ui::IDS_COLUMN_NAME),
                                ui::UiString(ui::IDS_COLUMN_CODE),
                                ui::UiString(ui::IDS_COLUMN_PATH)});
    fileList_->sortByColumn(ui::COLUMN_NAME, Qt::DescendingOrder);
    fileList_->setSortingEnabled(true);
    fileList_->header()->setSortIndicatorShown(false);

    filterBox_ = new QComboBox(frame);
    filterBox_->setObjectName(QStringLiteral("filterBox"));
    filterBox_->setToolTip(Text(ui::TIP_FILTER));
    for (const char* pattern : ui::FILTER_PATTERNS) filterBox_->addItem(Text(pattern));
    removeButton_ = MakeButton(Text(ui::TEXT_REMOVE), "removeButton", frame);
    clearButton_ = MakeButton(Text(ui::TEXT_CLEAR), "clearButton", frame);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(Text(ui::TEXT_LIST_LABEL), frame), 0, 0, Qt::AlignHCenter);
    grid->addWidget(new QLabel(Text(ui::TEXT_EXTENSION), frame), 0, 1, Qt::AlignHCenter);
    grid->addWidget(fileList_, 1, 0, 4, 1);
    grid->addWidget(filterBox_, 1, 1);
    grid->addWidget(removeButton_, 2, 1);
    grid->addWidget(clearButton_, 3, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);

    auto* wrapper = new QVBoxLayout;
    wrapper->addWidget(frame);
    return wrapper;
}

QLayout* ConvertDialog::createButtonColumn() {
    startButton_ = MakeButton(ui::UiString(ui::IDS_START), "startButton", this);
    chooseButton_ = MakeButton(Text(ui::TEXT_CHOOSE_FILE), "chooseButton", this);
    exitButton_ = MakeButton(Text(ui::TEXT_EXIT), "exitButton", this);
    auto* column = new QVBoxLayout;
    column->addSpacing(8);
    column->addWidget(startButton_);
    column->addSpacing(16);
    column->addWidget(chooseButton_);
    column->addWidget(exitButton_);
    column->addStretch(1);
    return column;
}

QGroupBox* ConvertDialog::createSourceGroup() {
    auto* side = new QGroupBox(Text(ui::TEXT_SOURCE_GROUP), this);
    sourceButtons_ = new QButtonGroup(this);
    autoDetectBox_ = MakeCheckBox(ui::TEXT_AUTO_DETECT, "autoDetectBox", ui::TIP_AUTO_DETECT, side);
    auto* column = new QVBoxLayout(side);
    column->addWidget(MakeRadioGroup(ui::TEXT_CODE_GROUP, ui::CODE_BUTTON_TEXTS, 6, "source",
                                     ui::TIP_SOURCE, sourceButtons_));
    column->addWidget(autoDetectBox_);
    return side;
}

QGroupBox* ConvertDialog::createTargetGroup() {
    auto* side = new QGroupBox(Text(ui::TEXT_TARGET_GROUP), this);
    targetButtons_ = new QButtonGroup(this);
    newlineButtons_ = new QButtonGroup(this);
    halfWidthKanaBox_ =
        MakeCheckBox(ui::TEXT_HALF_WIDTH_KANA, "halfWidthKanaBox", ui::TIP_HALF_WIDTH_KANA, side);
    backupBox_ = MakeCheckBox(ui::TEXT_BACKUP, "backupBox", ui::TIP_BACKUP, side);
    auto* grid = new QGridLayout(side);
    grid->addWidget(MakeRadioGroup(ui::TEXT_CODE_GROUP, ui::CODE_BUTTON_TEXTS, 6, "target",
                                   ui::TIP_TARGET, targetButtons_),
                    0, 0);
    grid->addWidget(MakeRadioGroup(ui::TEXT_NEWLINE_GROUP, ui::NEWLINE_BUTTON_TEXTS, 3, "newline",
                                   ui::TIP_NEWLINE, newlineButtons_),
                    0, 1, Qt::AlignTop);
    grid->addWidget(halfWidthKanaBox_, 1, 0);
    grid->addWidget(backupBox_, 1, 1);
    return side;
}

QLayout* ConvertDialog::createStatusRow() {
    statusLine_ = new QLabel(ui::UiString(ui::IDS_IDLE), this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setMinimumWidth(160);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setMaximumHeight(14);
    auto* row = new QHBoxLayout;
    row->addWidget(statusLine_, 2);
    row->addWidget(progressBar_, 3);
    return row;
}

// Qt has no portable system menu: the about item sits in the window's
// context menu and on F1.
void ConvertDialog::createAboutAction() {
    const QString text = ui::UiString(ui::IDS_ABOUT_ITEM);
    if (text.isEmpty()) return;
    auto* about = new QAction(text, this);
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setShortcut(QKeySequence::HelpContents);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(about, &QAction::triggered, this, &ConvertDialog::ShowAbout);
}

// Delete removes the selected files, Ctrl+O opens the chooser, Ctrl+A selects
// every file; the list's context menu and a double-click open the preview.
void ConvertDialog::createShortcuts() {
    // Shortcuts rather than actions: the window's context menu lists its actions.
    const auto add = [this](QKeySequence::StandardKey key, auto slot) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, slot);
    };
    add(QKeySequence::Delete, &ConvertDialog::RemoveSelectedFiles);
    add(QKeySequence::Open, &ConvertDialog::ChooseFile);
    add(QKeySequence::SelectAll, [this] { fileList_->selectAll(); });
    auto* preview = new QAction(Text(ui::TEXT_PREVIEW_ITEM), fileList_);
    preview->setObjectName(QStringLiteral("previewAction"));
    fileList_->addAction(preview);
    fileList_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(preview, &QAction::triggered, this, [this] { ShowPreview(fileList_->currentItem()); });
    connect(fileList_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { ShowPreview(item); });
}

void ConvertDialog::setFileCommandsEnabled(bool enabled) {
    for (QWidget* command :
         std::initializer_list<QWidget*>{chooseButton_, removeButton_, clearButton_, filterBox_}) {
        command->setEnabled(enabled);
    }
}

void ConvertDialog::connectControls() {
    connect(startButton_, &QPushButton::clicked, this, &ConvertDialog::StartOrCancelJob);
    connect(exitButton_, &QPushButton::clicked, this, &ConvertDialog::reject);
    connect(chooseButton_, &QPushButton::clicked, this, &ConvertDialog::ChooseFile);
    connect(removeButton_, &QPushButton::clicked, this, &ConvertDialog::RemoveSelectedFiles);
    connect(clearButton_, &QPushButton::clicked, this, &ConvertDialog::ClearFiles);
    connect(filterBox_, &QComboBox::activated, this, &ConvertDialog::ApplyExtensionFilter);
    connect(pollTimer_, &QTimer::timeout, this, &ConvertDialog::PollJob);
    connect(sourceButtons_, &QButtonGroup::idClicked, this, [this](int id) { sourceIndex = id; });
    connect(newlineButtons_, &QButtonGroup::idClicked, this, [this](int id) { newlineIndex = id; });
    connect(targetButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        targetIndex = id;
        ApplyHalfWidthKana();
    });
    connect(autoDetectBox_, &QCheckBox::clicked, this, &ConvertDialog::ApplyAutoDetect);
    connect(halfWidthKanaBox_, &QCheckBox::clicked, this,
            [this] { halfWidthKana = CheckValue(halfWidthKanaBox_) == 1 ? 1 : 0; });
    connect(backupBox_, &QCheckBox::clicked, this,
            [this] { backup = CheckValue(backupBox_) == 1 ? 1 : 0; });
}

// Tab order as the controls were laid out on the original form.
void ConvertDialog::arrangeTabOrder() {
    std::vector<QWidget*> order{startButton_, exitButton_,   chooseButton_, fileList_,
                                filterBox_,   removeButton_, clearButton_};
    for (QAbstractButton* b : sourceButtons_->buttons()) order.push_back(b);
    order.push_back(autoDetectBox_);
    for (QAbstractButton* b : targetButtons_->buttons()) order.push_back(b);
    order.push_back(halfWidthKanaBox_);
    for (QAbstractButton* b : newlineButtons_->buttons()) order.push_back(b);
    order.push_back(backupBox_);
    order.push_back(saveSettingsBox_);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void ConvertDialog::Initialise() {
    if (initialised_) return;
    initialised_ = true;
    ExchangeToControls();
    ApplyAutoDetect();
    ApplyHalfWidthKana();
    fileList_->setColumnWidth(ui::COLUMN_NAME, fileNameWidth);
    fileList_->setColumnWidth(ui::COLUMN_CODE, codeWidth);
    fileList_->setColumnWidth(ui::COLUMN_PATH, fullPathWidth);
    if (!windowGeometry.isEmpty()) restoreGeometry(windowGeometry);
    RegisterCommandLine(commandLine);
}

int ConvertDialog::RunModal() {
    Initialise();
    return exec();
}

// Until the window has taken in a run's end it is still busy with it.
bool ConvertDialog::IsBusy() const { return runner_->IsBusy() || pollTimer_->isActive(); }

void ConvertDialog::ExchangeToControls() {
    SetCheckValue(autoDetectBox_, autoDetect);
    filterBox_->setCurrentIndex(filterIndex);
    SetCheckValue(halfWidthKanaBox_, halfWidthKana);
    SetRadioIndex(sourceButtons_, sourceIndex);
    SetRadioIndex(newlineButtons_, newlineIndex);
    SetRadioIndex(targetButtons_, targetIndex);
    SetCheckValue(saveSettingsBox_, saveSettings);
    SetCheckValue(backupBox_, backup);
}

void ConvertDialog::ExchangeFromControls() {
    autoDetect = CheckValue(autoDetectBox_);
    filterIndex = filterBox_->currentIndex();
    if (halfWidthKanaBox_->isEnabled()) halfWidthKana = CheckValue(halfWidthKanaBox_);
    sourceIndex = sourceButtons_->checkedId();
    newlineIndex = newlineButtons_->checkedId();
    targetIndex = targetButtons_->checkedId();
    saveSettings = CheckValue(saveSettingsBox_);
    backup = CheckValue(backupBox_);
    fileNameWidth = fileList_->columnWidth(ui::COLUMN_NAME);
    codeWidth = fileList_->columnWidth(ui::COLUMN_CODE);
    fullPathWidth = fileList_->columnWidth(ui::COLUMN_PATH);
    windowGeometry = saveGeometry();
}

// The source buttons keep their marks while disabled, so clearing the box
// brings the earlier manual choice back.
void ConvertDialog::ApplyAutoDetect() {
    const bool checked = CheckValue(autoDetectBox_) == 1;
    for (QAbstractButton* button : sourceButtons_->buttons()) button->setEnabled(!checked);
    autoDetect = checked ? 1 : 0;
}

// The box shows what the target does with half-width katakana: checked for
// JIS and EUC-JP (always folded), clear for the Unicode codes (never folded),
// the user's choice for Shift_JIS, the only target where it is free.  The
// choice itself stays in halfWidthKana whatever the box shows meanwhile.
void ConvertDialog::ApplyHalfWidthKana() {
    halfWidthKanaBox_->setEnabled(targetIndex == TARGET_SJIS);
    if (targetIndex == TARGET_JIS || targetIndex == TARGET_EUC) {
        halfWidthKanaBox_->setCheckState(Qt::Checked);
    } else if (targetIndex >= TARGET_UNICODE) {
        halfWidthKanaBox_->setCheckState(Qt::Unchecked);
    } else {
        SetCheckValue(halfWidthKanaBox_, halfWidthKana);
    }
}

void ConvertDialog::StartOrCancelJob() {
    if (IsBusy()) {
        // A run that has just ended but is not yet shown as ended is left to
        // the poll: the press was meant to cancel it, not to start another.
        if (runner_->IsBusy()) runner_->RequestCancel();
        return;
    }
    if (runEnded_.isValid() && !runEnded_.hasExpired(RESTART_GUARD_MS)) return;
    progressBar_->setValue(0);
    const int count = fileList_->topLevelItemCount();
    if (count == 0) return;

    // The run works on a snapshot in list order; the list cannot change while busy.
    std::vector<JobFile> files;
    files.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        files.push_back(ui::ItemJobFile(*fileList_->topLevelItem(i)));
    }
    JobSettings settings;
    settings.conversion = {CodeFromRadioIndex(sourceIndex), CodeFromRadioIndex(targetIndex),
                           NewlineOfButton(newlineIndex), halfWidthKana != 0};
    settings.autoDetect = autoDetect != 0;
    settings.backup = backup != 0;
    if (!runner_->Start(std::move(files), settings)) return;

    shownFile_ = -1;
    startButton_->setText(ui::UiString(ui::IDS_CANCEL));
    exitButton_->setEnabled(false);
    setFileCommandsEnabled(false);
    pollTimer_->start();
}

void ConvertDialog::PollJob() {
    // A range of 0..0 would turn the bar into a busy indicator: a run with
    // nothing to convert shows an empty bar instead.
    const int maximum = std::max(1, static_cast<int>(runner_->ProgressMaximum()));
    if (progressBar_->maximum() != maximum) progressBar_->setRange(0, maximum);
    progressBar_->setValue(static_cast<int>(runner_->ProgressPosition()));
    const std::int32_t current = runner_->CurrentFile();
    if (current != shownFile_ && current >= 0) {
        shownFile_ = current;
        statusLine_->setText(
            QString::fromStdString(runner_->Files()[static_cast<std::size_t>(current)].name));
    }
    if (runner_->IsBusy()) return;
    endRun(true);
}

void ConvertDialog::endRun(bool report) {
    pollTimer_->stop();
    runner_->Wait();  // the worker has cleared busy; its thread ends at once
    const JobOutcome outcome = runner_->Outcome();
    // A run that stopped short shows an empty bar, not a full one.
    const bool whole = outcome == JobOutcome::Done;
    progressBar_->setValue(whole ? static_cast<int>(runner_->ProgressPosition()) : 0);
    if (report) {
        RefreshLabels();
        ReportRun(runner_->Report(), outcome);
    }
    startButton_->setText(ui::UiString(ui::IDS_START));
    exitButton_->setEnabled(true);
    setFileCommandsEnabled(true);
    statusLine_->setText(report ? RunSummary(runner_->Report()) : ui::UiString(ui::IDS_IDLE));
    runEnded_.start();  // after the boxes: the Enter that closed one is no new press
}

// The list is in the run's order while it is busy: a run's index names its item.
void ConvertDialog::ReportRun(const JobReport& report, JobOutcome outcome) {
    fileList_->clearSelection();
    const auto select = [this](std::size_t index) {
        QTreeWidgetItem* item = fileList_->topLevelItem(static_cast<int>(index));
        if (item != nullptr) item->setSelected(true);
        return item;
    };
    if (outcome == JobOutcome::Cancelled) {
        services.showMessage(this, ui::UiString(ui::IDS_CANCELLED), Text(ui::CAPTION_CANCELLED));
    } else if (outcome == JobOutcome::Failed) {
        QString text = ui::UiString(ui::IDS_FAILED);
        const QTreeWidgetItem* failed = fileList_->topLevelItem(report.failedIndex);
        if (failed != nullptr) text += QStringLiteral("\n\n") + failed->text(ui::COLUMN_PATH);
        if (!report.failure.empty()) {
            text += QLatin1Char('\n') + QString::fromStdString(report.failure);
        }
        services.showMessage(this, text, Text(ui::CAPTION_FAILED));
        if (failed != nullptr) {
            QTreeWidgetItem* item = select(static_cast<std::size_t>(report.failedIndex));
            fileList_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
            fileList_->scrollToItem(item);
        }
    }
    if (report.lost.empty()) return;
    QString text = Text(ui::TEXT_LOST);
    for (std::size_t i = 0; i < report.lost.size(); ++i) {
        if (i == LOST_FILES_SHOWN) {
            text += QStringLiteral("\n…");
            break;
        }
        const LostCharacters& lost = report.lost[i];
        const QTreeWidgetItem* item = fileList_->topLevelItem(static_cast<int>(lost.index));
        if (item == nullptr) continue;
        text += QLatin1Char('\n') +
                Text(ui::TEXT_LOST_FILE).arg(item->text(ui::COLUMN_NAME)).arg(lost.count);
        if (lost.firstLine > 0) text += Text(ui::TEXT_LOST_LINE).arg(lost.firstLine);
    }
    services.showMessage(this, text, Text(ui::CAPTION_LOST));
    for (const LostCharacters& lost : report.lost) select(lost.index);
}

// How many files the run converted, found already right, skipped and failed.
QString RunSummary(const JobReport& report) {
    const std::size_t failed =
        report.failures.empty() && report.failedIndex >= 0 ? 1 : report.failures.size();
    return Text(ui::TEXT_RUN_SUMMARY)
        .arg(report.converted)
        .arg(report.unchanged.size())
        .arg(report.skipped.size())
        .arg(failed);
}

void ConvertDialog::RefreshLabels() {
    for (int i = 0; i < fileList_->topLevelItemCount(); ++i)
        ui::RegisterItem(*fileList_->topLevelItem(i));
}

void ConvertDialog::ShowAbout() {
    if (services.runAboutBox(this) == 1) {
        services.openUrl(QUrl(ui::UiString(ui::IDS_WEB_ADDRESS)));
    }
}

// The file is read as a run would read it: its detected code under
// auto-detection, the chosen source code otherwise.
void ConvertDialog::ShowPreview(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const KanjiCode code = autoDetect != 0 ? ui::ItemCode(*item) : CodeFromRadioIndex(sourceIndex);
    const KanjiCode target = targetIndex >= 0 ? CodeFromRadioIndex(targetIndex) : CODE_ERROR;
    const FilePreview preview = PreviewFile(ui::ItemPath(*item), code, target, halfWidthKana != 0);
    const QString targetName =
        targetIndex >= 0 && targetIndex < 6 ? Text(ui::CODE_BUTTON_TEXTS[targetIndex]) : QString();
    auto* dialog = new FilePreviewDialog(
        item->text(ui::COLUMN_NAME), QString::fromUtf8(CodeLabel(code)), targetName, preview, this);
    dialog->show();
}

void ConvertDialog::CancelAndClose() {
    runner_->RequestCancel();
    runner_->Wait();
    if (pollTimer_->isActive()) endRun(false);
    // A message box or chooser still open would keep the process waiting.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isModal() && window->isVisible()) window->close();
    }
    reject();
}

void ConvertDialog::done(int result) {
    if (IsBusy()) return;
    QDialog::done(result);
}

// There is no OK control; every close (Exit, Escape, the close box) ends with
// the options read back and result 1.
void ConvertDialog::accept() { reject(); }

void ConvertDialog::reject() {
    if (IsBusy()) return;
    ExchangeFromControls();
    done(1);
}

void ConvertDialog::closeEvent(QCloseEvent* event) {
    if (IsBusy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Enter starts or cancels a run; a held Enter's repeats may cancel one but
// never start one.  True when the key was Enter.
bool ConvertDialog::handleEnter(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) return false;
    if (!event.isAutoRepeat() || IsBusy()) StartOrCancelJob();
    return true;
}

bool ConvertDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleEnter(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ConvertDialog::keyPressEvent(QKeyEvent* event) {
    if (!handleEnter(*event)) QDialog::keyPressEvent(event);
}

}  // namespace ruv
