#include "ui/file_preview_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ui_strings.h"

namespace ruv {

FilePreviewDialog::FilePreviewDialog(const QString& name, const QString& label,
                                     const QString& target, const FilePreview& preview,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(ui::Tr(ui::TEXT_PREVIEW_TITLE).arg(name));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("previewText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString shown = QString::fromUtf8(preview.text);
    if (!preview.complete) shown += QLatin1Char('\n') + ui::Tr(ui::TEXT_PREVIEW_STOPPED);
    if (preview.cut && preview.complete) shown += QLatin1Char('\n') + ui::Tr(ui::TEXT_PREVIEW_CUT);
    text->setPlainText(shown);

    QString facts =
        ui::Tr(ui::TEXT_PREVIEW_FACTS)
            .arg(label, ui::Tr(ui::TEXT_LINE_ENDS[static_cast<int>(preview.lineEnds)]),
                 target.isEmpty() ? QStringLiteral("-") : target,
                 preview.reason.empty() ? QString::number(preview.lost) : QStringLiteral("-"));
    if (!preview.reason.empty()) {
        facts += QLatin1Char('\n') +
                 ui::Tr(ui::TEXT_PREVIEW_UNREADABLE).arg(QString::fromStdString(preview.reason));
    }
    auto* factLine = new QLabel(facts, this);
    factLine->setObjectName(QStringLiteral("previewFacts"));
    factLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ui::Tr(ui::TEXT_CLOSE), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* page = new QVBoxLayout(this);
    page->addWidget(text, 1);
    page->addWidget(factLine);
    page->addWidget(buttons);
    resize(720, 480);
}

}  // namespace ruv
