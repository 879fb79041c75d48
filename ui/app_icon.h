// ruv's icon (drawn by tools/draw_icon.py), in every size the resource holds.
#pragma once

#include <QIcon>

namespace ruv::ui {

QIcon AppIcon();

}  // namespace ruv::ui
