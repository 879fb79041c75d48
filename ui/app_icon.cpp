#include "ui/app_icon.h"

// The resource lives in a static library: register it explicitly, since the
// linker keeps nothing of the library that is not referenced.
static void InitialiseIconResource() { Q_INIT_RESOURCE(ruv); }

namespace ruv::ui {

QIcon AppIcon() {
    static const bool initialised = (InitialiseIconResource(), true);
    (void)initialised;
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/ruv/icons/ruv-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace ruv::ui
