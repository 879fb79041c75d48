// The file commands of the window: every way of adding files ends in AddPath,
// which asks the registration policy of job/ what the path yields (links,
// folders, duplicates, excluded files) and lists it.  Everything here runs on
// the window's thread and does nothing while a run is busy.
#include "ui/file_registration.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QStringList>
#include <QTreeWidget>

#include <cstring>

#include "detect/code_labels.h"
#include "job/registration.h"
#include "ui/convert_dialog.h"
#include "ui/ui_strings.h"

namespace ruv {
namespace ui {

std::filesystem::path ItemPath(const QTreeWidgetItem& item) {
    return item.data(COLUMN_NAME, PATH_ROLE).toByteArray().toStdString();
}

KanjiCode ItemCode(const QTreeWidgetItem& item) {
    bool ok = false;
    const int code = item.data(COLUMN_NAME, CODE_ROLE).toInt(&ok);
    return ok ? code : CODE_ERROR;
}

void SetItemCode(QTreeWidgetItem& item, KanjiCode code, const std::string& label) {
    item.setText(COLUMN_CODE, QString::fromStdString(label));
    item.setData(COLUMN_NAME, CODE_ROLE, code);
}

// The identities of the file and its folder, as the bytes of the two records.
void SetItemFile(QTreeWidgetItem& item, const JobFile& file) {
    const std::string& bytes = file.path.native();
    item.setText(COLUMN_NAME, NativeText(file.path.filename().native()));
    item.setText(COLUMN_PATH, NativeText(bytes));
    item.setData(COLUMN_NAME, PATH_ROLE, QByteArray::fromStdString(bytes));
    QByteArray identity(2 * sizeof(FileIdentity), '\0');
    std::memcpy(identity.data(), &file.identity, sizeof(FileIdentity));
    std::memcpy(identity.data() + sizeof(FileIdentity), &file.folder, sizeof(FileIdentity));
    item.setData(COLUMN_NAME, IDENTITY_ROLE, identity);
    SetItemCode(item, file.code, CodeLabel(file.code));
}

void RegisterItem(QTreeWidgetItem& item) {
    SetItemFile(item, RegisterFile(item.text(COLUMN_NAME).toStdString(), ItemPath(item)));
}

JobFile ItemJobFile(const QTreeWidgetItem& item) {
    JobFile file{item.text(COLUMN_NAME).toStdString(), ItemPath(item), ItemCode(item)};
    const QByteArray identity = item.data(COLUMN_NAME, IDENTITY_ROLE).toByteArray();
    if (identity.size() == 2 * sizeof(FileIdentity)) {
        std::memcpy(&file.identity, identity.constData(), sizeof(FileIdentity));
        std::memcpy(&file.folder, identity.constData() + sizeof(FileIdentity),
                    sizeof(FileIdentity));
    }
    return file;
}

QString NativeText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString OpenFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) break;  // the "||" that ends the list
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0) description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

// The pattern is a list "*.a;*.b": each extension runs from its first dot to
// the next semicolon.
bool MatchesExtensionPattern(const std::filesystem::path& name, std::string_view pattern) {
    while (!pattern.empty()) {
        const std::size_t dot = pattern.find('.');
        const std::size_t semicolon = pattern.find(';');
        std::string_view extension;
        if (dot != std::string_view::npos &&
            (semicolon == std::string_view::npos || dot < semicolon)) {
            const std::size_t end =
                semicolon == std::string_view::npos ? pattern.size() : semicolon;
            extension = pattern.substr(dot + 1, end - dot - 1);
        }
        if (HasExtension(name, extension)) return true;
        if (semicolon == std::string_view::npos) break;
        pattern.remove_prefix(semicolon + 1);
    }
    return false;
}

}  // namespace ui

void ConvertDialog::beginBatch() {
    if (batchDepth_++ == 0) fileList_->setSortingEnabled(false);
}

// Turning sorting back on sorts the whole list once, by name, descending.
// The header shows no sort mark: the order is fixed, not the user's choice.
void ConvertDialog::endBatch() {
    if (--batchDepth_ != 0) return;
    fileList_->setSortingEnabled(true);
    fileList_->header()->setSortIndicatorShown(false);
}

void ConvertDialog::removeItem(int index) {
    QTreeWidgetItem* item = fileList_->takeTopLevelItem(index);
    if (item == nullptr) return;
    registrar_.Forget(ui::ItemPath(*item));
    delete item;
}

void ConvertDialog::RegisterCommandLine(const std::vector<std::string>& paths) {
    beginBatch();
    for (const std::string& path : paths) AddPath(path);
    endBatch();
}

void ConvertDialog::AcceptDroppedFiles(const QList<QUrl>& urls) {
    if (IsBusy()) return;
    beginBatch();
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) AddPath(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    endBatch();
}

// The chooser opens where the last file was registered or chosen from.
void ConvertDialog::ChooseFile() {
    if (IsBusy()) return;
    const QStringList chosen = services.chooseFiles(
        this, chooserFolder_, ui::OpenFileFilter(ui::UiString(ui::IDS_OPEN_FILTER)));
    beginBatch();
    for (const QString& file : chosen) {
        chooserFolder_ = QFileInfo(file).absolutePath();
        AddPath(QFile::encodeName(file).toStdString());
    }
    endBatch();
}

// What the policy refuses (a missing path, an excluded or listed file) is
// left out without a word, as a drop of many files expects.
void ConvertDialog::AddPath(const std::filesystem::path& path) {
    PathYield yield = registrar_.Add(path);
    beginBatch();
    for (const JobFile& file : yield.files) {
        chooserFolder_ = ui::NativeText(file.path.parent_path().native());
        auto* item = new QTreeWidgetItem;
        ui::SetItemFile(*item, file);
        fileList_->addTopLevelItem(item);
    }
    endBatch();
}

void ConvertDialog::ClearFiles() {
    if (IsBusy()) return;
    fileList_->clear();
    registrar_.Clear();
}

void ConvertDialog::RemoveSelectedFiles() {
    if (IsBusy()) return;
    for (int i = fileList_->topLevelItemCount() - 1; i >= 0; --i) {
        if (fileList_->topLevelItem(i)->isSelected()) removeItem(i);
    }
}

// Keeps only the files whose extension the chosen pattern names; the first
// item, "*.*", filters nothing.  What is removed does not come back.
void ConvertDialog::ApplyExtensionFilter() {
    if (IsBusy()) return;
    if (fileList_->topLevelItemCount() == 0 || filterBox_->currentIndex() <= 0) return;
    const std::string pattern = filterBox_->currentText().toStdString();
    for (int i = fileList_->topLevelItemCount() - 1; i >= 0; --i) {
        const std::filesystem::path name = ui::ItemPath(*fileList_->topLevelItem(i)).filename();
        if (!ui::MatchesExtensionPattern(name, pattern)) removeItem(i);
    }
}

// A busy window refuses the drag itself, so the cursor tells the user at once.
void ConvertDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !IsBusy()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ConvertDialog::dropEvent(QDropEvent* event) {
    AcceptDroppedFiles(event->mimeData()->urls());
    event->acceptProposedAction();
}

}  // namespace ruv
