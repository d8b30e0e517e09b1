#include "ui/app_icon.h"

#include <QPainter>
#include <QSvgRenderer>

#include "ui/app_icon_svg.h"

namespace yl {

QPixmap AppIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer{QByteArray(kAppIconSvg)};
  QPainter p(&pixmap);
  renderer.render(&p);
  return pixmap;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

}  // namespace yl
