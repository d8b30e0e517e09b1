#pragma once
// The faces of the accuracy ratings, drawn as vectors: a red frown at 0, a level yellow
// mouth at 5, a broad green smile at 10.

#include <QPixmap>
#include <QRectF>

class QPainter;

namespace yl {

void PaintFace(QPainter& p, const QRectF& box, int rating);
QPixmap FacePixmap(int rating, int size);
// Two faces side by side (variables, data); a rating below 0 leaves its place empty.
QPixmap FacePairPixmap(int variables, int data, int size);

}  // namespace yl
