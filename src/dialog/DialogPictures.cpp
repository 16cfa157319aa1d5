#include "dialog/DialogPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 250);
const QColor kFolder(232, 190, 80);

QPixmap blank(int width, int height) {
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    return picture;
}

// Three bars whose lengths grow downwards (ascending) or shrink, and an arrow beside them.
QPixmap sortBars(bool ascending) {
    QPixmap picture = blank(16, 16);
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 70, 160));
    for (int i = 0; i < 3; ++i) {
        const int length = ascending ? 3 + 3 * i : 9 - 3 * i;
        painter.drawRect(1, 2 + 5 * i, length, 3);
    }
    painter.setBrush(kInk);
    painter.drawRect(12, 1, 2, 10);
    const QPolygon head({QPoint(10, 10), QPoint(16, 10), QPoint(13, 15)});
    painter.drawPolygon(head);
    return picture;
}

// A sheet with a folded corner, as a document.
void drawSheet(QPainter& painter, const QRect& area) {
    const int fold = area.width() / 3;
    QPainterPath sheet;
    sheet.moveTo(area.topLeft());
    sheet.lineTo(area.right() - fold, area.top());
    sheet.lineTo(area.right(), area.top() + fold);
    sheet.lineTo(area.bottomRight());
    sheet.lineTo(area.bottomLeft());
    sheet.closeSubpath();
    painter.setPen(kInk);
    painter.setBrush(kPaper);
    painter.drawPath(sheet);
}

void drawFolder(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(kFolder.darker(115));
    painter.drawRect(QRectF(area.left(), area.top(), area.width() * 0.4, area.height() * 0.2));
    painter.setBrush(kFolder);
    painter.drawRect(
        QRectF(area.left(), area.top() + area.height() * 0.15, area.width(), area.height() * 0.85));
}

}  // namespace

namespace DialogPictures {

QPixmap sortAscending() {
    return sortBars(true);
}

QPixmap sortDescending() {
    return sortBars(false);
}

QPixmap addFile() {
    QPixmap picture = blank(16, 16);
    QPainter painter(&picture);
    drawSheet(painter, QRect(1, 0, 10, 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 140, 40));
    painter.drawRect(10, 7, 6, 2);
    painter.drawRect(12, 5, 2, 6);
    return picture;
}

QPixmap deleteFile() {
    QPixmap picture = blank(16, 16);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSheet(painter, QRect(1, 0, 10, 13));
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.drawLine(9, 8, 15, 14);
    painter.drawLine(15, 8, 9, 14);
    return picture;
}

QPixmap toInput() {
    QPixmap picture = blank(32, 32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSheet(painter, QRect(3, 1, 11, 14));
    drawSheet(painter, QRect(17, 1, 11, 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 140, 40));
    painter.drawPolygon(QPolygon({QPoint(12, 14), QPoint(20, 14), QPoint(20, 19), QPoint(25, 19),
                                  QPoint(16, 26), QPoint(7, 19), QPoint(12, 19)}));
    painter.setPen(QPen(kInk, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygon({QPoint(3, 24), QPoint(3, 30), QPoint(29, 30), QPoint(29, 24)}));
    return picture;
}

QPixmap getDir() {
    QPixmap picture = blank(32, 32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawFolder(painter, QRectF(1.5, 4.5, 24, 19));
    painter.setPen(QPen(kInk, 2));
    painter.setBrush(QColor(200, 230, 255, 200));
    painter.drawEllipse(QPointF(21, 20), 6, 6);
    painter.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(25.5, 24.5), QPointF(30, 29));
    return picture;
}

int workFrameCount() {
    return 12;
}

// A folder with a ring of spokes turning round it; one spoke in twelve is lit per frame.
QPixmap workFrame(int frame) {
    const int count = workFrameCount();
    frame = ((frame % count) + count) % count;
    QPixmap picture = blank(131, 117);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawFolder(painter, QRectF(45.5, 40.5, 40, 32));
    const QPointF centre(65.5, 58.5);
    for (int spoke = 0; spoke < count; ++spoke) {
        const double angle = 2.0 * std::numbers::pi * spoke / count;
        const int age = (frame - spoke + count) % count;
        QColor colour(30, 70, 160);
        colour.setAlpha(255 - age * 200 / count);
        painter.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(centre + direction * 38.0, centre + direction * 52.0);
    }
    return picture;
}

}  // namespace DialogPictures
