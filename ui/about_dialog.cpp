#include "ui/about_dialog.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "ui/app_icon.h"
#include "ui/ui_strings.h"

namespace ruv {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui::Tr(ui::TEXT_ABOUT_TITLE));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(ui::AppIcon().pixmap(32, 32));
    auto* product = new QLabel(ui::Tr(ui::TEXT_TITLE), this);
    auto* version =
        new QLabel(QString::fromUtf8(ui::TEXT_VERSION) + QStringLiteral(RUV_VERSION), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* notice = new QLabel(QString::fromUtf8(ui::TEXT_NOTICE), this);
    auto* ok = new QPushButton(QString::fromUtf8(ui::TEXT_OK), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* address = new QPushButton(ui::UiString(ui::IDS_WEB_ADDRESS), this);
    address->setObjectName(QStringLiteral("addressButton"));
    address->setFlat(true);
    address->setAutoDefault(false);
    address->setCursor(Qt::PointingHandCursor);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(product, 0, 1);
    grid->addWidget(ok, 0, 2);
    grid->addWidget(version, 1, 1);
    grid->addWidget(notice, 2, 0, 1, 3);
    grid->addWidget(address, 3, 0, 1, 3);

    connect(ok, &QPushButton::clicked, this, [this] { done(RESULT_CLOSED); });
    connect(address, &QPushButton::clicked, this, [this] { done(RESULT_OPEN_PAGE); });
}

void AboutDialog::reject() { done(RESULT_CLOSED); }

// Enter presses the default button, OK: never the page.
void AboutDialog::accept() { done(RESULT_CLOSED); }

}  // namespace ruv
