#include "WizardPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Every drawing works in a 100 x 100 box centred in the lower part of the panel.
void drawUnitAndComputer(QPainter &p) {
    p.drawRoundedRect(QRectF(8, 10, 40, 28), 3, 3); // the unit
    for (int bar = 0; bar < 4; ++bar)
        p.drawLine(QPointF(16 + bar * 8, 32), QPointF(16 + bar * 8, 32 - 6 - (bar % 3) * 5));
    p.drawRoundedRect(QRectF(52, 48, 40, 28), 3, 3); // the computer's screen
    p.drawLine(QPointF(72, 76), QPointF(72, 84));
    p.drawLine(QPointF(60, 86), QPointF(84, 86));
    QPainterPath cable(QPointF(28, 38));
    cable.cubicTo(QPointF(28, 70), QPointF(40, 62), QPointF(52, 62));
    p.drawPath(cable);
}

void drawConnector(QPainter &p) {
    QPolygonF shell{{10, 30}, {90, 30}, {82, 70}, {18, 70}};
    p.drawPolygon(shell);
    p.setBrush(p.pen().color());
    for (int pin = 0; pin < 5; ++pin)
        p.drawEllipse(QPointF(22 + pin * 14, 43), 3.2, 3.2);
    for (int pin = 0; pin < 4; ++pin)
        p.drawEllipse(QPointF(29 + pin * 14, 57), 3.2, 3.2);
    p.setBrush(Qt::NoBrush);
}

void drawChecklist(QPainter &p) {
    for (int row = 0; row < 3; ++row) {
        const qreal y = 16 + row * 28;
        p.drawRect(QRectF(10, y, 16, 16));
        p.drawLine(QPointF(36, y + 8), QPointF(90, y + 8));
        p.drawPolyline(QPolygonF{{13, y + 8}, {18, y + 13}, {26, y - 2}});
    }
}

void drawTick(QPainter &p) {
    p.drawEllipse(QRectF(10, 10, 80, 80));
    QPen thick = p.pen();
    thick.setWidthF(thick.widthF() * 2);
    p.setPen(thick);
    p.drawPolyline(QPolygonF{{30, 52}, {44, 66}, {72, 36}});
}

} // namespace

QPixmap wizardPicture(int page, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF panel(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient background(panel.topLeft(), panel.bottomLeft());
    background.setColorAt(0.0, QColor(0x1d, 0x35, 0x57));
    background.setColorAt(1.0, QColor(0x2a, 0x9d, 0x8f));
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(panel, 8, 8);

    // Scale the 100-unit drawing to the panel's width, a little below its middle.
    const qreal scale = (size.width() - 30) / 100.0;
    p.translate(15, size.height() * 0.55 - 50 * scale);
    p.scale(scale, scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xf1, 0xfa, 0xee), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (page) {
    case 0:
        drawUnitAndComputer(p);
        break;
    case 1:
        drawConnector(p);
        break;
    case 2:
        drawChecklist(p);
        break;
    default:
        drawTick(p);
        break;
    }
    return pixmap;
}
