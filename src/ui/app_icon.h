#pragma once
// The program's icon drawn at any size.

#include <QIcon>
#include <QPixmap>

namespace yl {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();

}  // namespace yl
