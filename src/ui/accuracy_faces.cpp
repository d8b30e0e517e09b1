#include "ui/accuracy_faces.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace yl {

namespace {

QColor FaceColour(int rating) {
  // Red through yellow to green, so that a glance down a column finds the weak years.
  const double t = std::clamp(rating, 0, 10) / 10.0;
  const QColor red(214, 48, 39), yellow(245, 200, 40), green(46, 160, 67);
  auto mix = [](const QColor& a, const QColor& b, double u) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * u,
                            a.greenF() + (b.greenF() - a.greenF()) * u,
                            a.blueF() + (b.blueF() - a.blueF()) * u);
  };
  return t < 0.5 ? mix(red, yellow, t * 2) : mix(yellow, green, (t - 0.5) * 2);
}

}  // namespace

void PaintFace(QPainter& p, const QRectF& box, int rating) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double d = std::min(box.width(), box.height()) - 2;
  const QRectF face(box.center().x() - d / 2, box.center().y() - d / 2, d, d);
  p.setPen(QPen(QColor(60, 60, 60), std::max(1.0, d / 24)));
  p.setBrush(FaceColour(rating));
  p.drawEllipse(face);
  p.setBrush(QColor(40, 40, 40));
  p.setPen(Qt::NoPen);
  const double eye = d / 10;
  p.drawEllipse(QPointF(face.left() + d * 0.33, face.top() + d * 0.37), eye, eye);
  p.drawEllipse(QPointF(face.left() + d * 0.67, face.top() + d * 0.37), eye, eye);
  // The mouth bends from a frown (0) through a level line (5) to a smile (10).
  const double bend = (std::clamp(rating, 0, 10) - 5) / 5.0 * d * 0.18;
  const double y = face.top() + d * 0.68 - bend / 2;
  QPainterPath mouth;
  mouth.moveTo(face.left() + d * 0.28, y);
  mouth.quadTo(face.center().x(), y + bend * 2, face.left() + d * 0.72, y);
  p.setBrush(Qt::NoBrush);
  QPen pen(QColor(40, 40, 40), std::max(1.2, d / 14));
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  p.drawPath(mouth);
  p.restore();
}

QPixmap FacePixmap(int rating, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  PaintFace(p, QRectF(0, 0, size, size), rating);
  return pixmap;
}

QPixmap FacePairPixmap(int variables, int data, int size) {
  QPixmap pixmap(size * 2 + 4, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  if (variables >= 0) PaintFace(p, QRectF(0, 0, size, size), variables);
  if (data >= 0) PaintFace(p, QRectF(size + 4, 0, size, size), data);
  return pixmap;
}

}  // namespace yl
