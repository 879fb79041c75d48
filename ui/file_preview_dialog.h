// A read-only look into one file: the head of its text as the chosen code
// reads it, with the code's label, the kind of line ends, and the characters a
// conversion into the target would lose.  It holds only the text read, never
// the file.
#pragma once

#include <QDialog>

#include "job/file_preview.h"

namespace ruv {

class FilePreviewDialog : public QDialog {
    Q_OBJECT

public:
    // name: the file as the list shows it; label: the code it was read as;
    // target: the selected target's name, empty when none is selected.
    FilePreviewDialog(const QString& name, const QString& label, const QString& target,
                      const FilePreview& preview, QWidget* parent = nullptr);
};

}  // namespace ruv
