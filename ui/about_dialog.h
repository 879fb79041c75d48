// The about box: icon, product line, version, notice, an OK button and the
// product web page's address as a flat button.
//
// OK, Escape and the close box end it with 2; only the address button ends
// it with 1, after which the window opens the page.
#pragma once

#include <QDialog>

namespace ruv {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int RESULT_OPEN_PAGE = 1;
    static constexpr int RESULT_CLOSED = 2;

    explicit AboutDialog(QWidget* parent = nullptr);

    void reject() override;
    void accept() override;
};

}  // namespace ruv
