#include "qt_test_app.h"

#include <sys/stat.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace ruv::test {
namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Never the user's display, configuration or session.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        const std::filesystem::path base =
            std::filesystem::path(RUV_BINARY_DIR) / "tests" / "qt-home";
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            std::filesystem::create_directories(base / name);
            ::chmod((base / name).c_str(), 0700);
            qputenv(name, (base / name).c_str());
        }
        app_ = new QApplication(argc_, argv_);
        watchdog_ = new QTimer;
        QObject::connect(watchdog_, &QTimer::timeout, [this] { CloseStrayModal(); });
        watchdog_->start(250);
    }
    void TearDown() override {
        delete watchdog_;
        delete app_;
    }

private:
    void CloseStrayModal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal != seen_) {
            seen_ = modal;
            clock_.start();
        } else if (clock_.elapsed() > 3000) {
            ADD_FAILURE() << "a modal window stayed open: " << modal->windowTitle().toStdString();
            modal->close();
        }
    }

    int argc_ = 1;
    char name_[16] = "ruv_ui_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
    QTimer* watchdog_ = nullptr;
    QPointer<QWidget> seen_;
    QElapsedTimer clock_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool DropFiles(QWidget* target, const std::vector<std::filesystem::path>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path.string()));
    data.setUrls(urls);
    const QPointF where(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

void PressEnter(bool autoRepeat) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                    autoRepeat);
    QCoreApplication::sendEvent(focus, &press);
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string LargeSjisText() {
    const std::string line =
        "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67 sample line\r\n";  // 日本語のテキスト
    std::string text;
    while (text.size() < (24u << 20)) text += line;
    return text;
}

}  // namespace ruv::test
