#include "platform/FolderPictures.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace {

const QColor kOutline(120, 90, 20);
const QColor kFolder(232, 190, 80);

QPixmap blank() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    return picture;
}

// The back of a folder with its tab.
void drawBack(QPainter& painter) {
    painter.setPen(kOutline);
    painter.setBrush(kFolder.darker(115));
    painter.drawRect(QRectF(1.5, 2.5, 5, 2));
    painter.drawRect(QRectF(1.5, 4.5, 13, 9));
}

}  // namespace

namespace FolderPictures {

QIcon closedFolder() {
    QPixmap picture = blank();
    QPainter painter(&picture);
    drawBack(painter);
    painter.setBrush(kFolder);
    painter.drawRect(QRectF(1.5, 6.5, 13, 7));
    return QIcon(picture);
}

QIcon openFolder() {
    QPixmap picture = blank();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawBack(painter);
    // A sheet standing in it, and the front flap tipped forward.
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 3.5, 9, 5));
    painter.setBrush(kFolder.lighter(115));
    painter.drawPolygon(QPolygonF(
        {QPointF(4.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    return QIcon(picture);
}

}  // namespace FolderPictures
