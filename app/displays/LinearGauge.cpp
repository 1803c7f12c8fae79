#include "LinearGauge.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Scale labels beyond this many decimals would only be noise (and a damaged setting could ask
// for hundreds).
constexpr int MaxLabelDecimals = 9;
// Room between a scale label and its mark.
constexpr int LabelGap = 3;

QString numberText(double value, int decimals) {
    if (!std::isfinite(value))
        return QStringLiteral("----");
    const int shown = std::clamp(decimals, 0, MaxLabelDecimals);
    QString text = QString::number(value, 'f', shown);
    // A tiny negative number rounded to -0.000 is 0.000 to an operator.
    if (text.startsWith(QLatin1Char('-')) && text.mid(1) == QString::number(0.0, 'f', shown))
        text.remove(0, 1);
    return text;
}

// Where everything goes inside a gauge of a given size, in pixels: the caption on top, an
// optional readout at the bottom, the scale between them, labels and marks left of the bar and
// the pointer right of it. Fonts shrink with the cell so that 128 gauges stay legible.
struct GaugeGeometry {
    QFont font;
    QFont labelFont; // the font, or a smaller one where the labels need it
    int lineHeight = 0;
    QRect captionRect;
    QRect readoutRect; // empty when there is no room
    int scaleTopY = 0;
    int scaleBottomY = 0;
    int barLeft = 0;
    int barWidth = 0;
    int markLength = 0;
    int pointerWidth = 0;
    bool labels = false;
    bool scale = false; // enough height for a scale at all

    int yOf(double fraction) const {
        return scaleBottomY - static_cast<int>(std::lround(fraction * (scaleBottomY - scaleTopY)));
    }
};

GaugeGeometry layOut(const QFont &base, QSize size, const QStringList &labels) {
    GaugeGeometry g;
    const int w = size.width();
    const int h = size.height();
    g.font = base;
    g.font.setPixelSize(std::clamp(std::min(h / 13, w / 6), 8, 13));
    const QFontMetrics metrics(g.font);
    g.lineHeight = metrics.height();
    const int pad = 2;

    g.captionRect = QRect(pad, pad, std::max(w - 2 * pad, 0), g.lineHeight);
    const bool readout = h >= 5 * g.lineHeight;
    if (readout)
        g.readoutRect = QRect(pad, h - pad - g.lineHeight, std::max(w - 2 * pad, 0), g.lineHeight);
    // Half a line above and below the scale, so that its end labels are not cut.
    g.scaleTopY = g.captionRect.bottom() + 1 + g.lineHeight / 2 + 2;
    g.scaleBottomY = (readout ? g.readoutRect.top() - 2 : h - pad) - g.lineHeight / 2 - 1;
    g.scale = g.scaleBottomY - g.scaleTopY >= 8;

    auto sizeBar = [&g, w](bool compact) {
        g.barWidth = std::clamp(w / 5, 6, 24);
        if (compact)
            g.barWidth = std::min(g.barWidth, 8);
        g.markLength = std::clamp(g.barWidth / 3, 3, 8);
        g.pointerWidth = std::clamp(g.barWidth / 2, 4, 10);
    };
    auto widest = [&labels](const QFont &font) {
        const QFontMetrics m(font);
        int width = 0;
        for (const QString &label : labels)
            width = std::max(width, m.horizontalAdvance(label));
        return width;
    };
    // A narrow cell first gives up bar width for its labels, then label size down to 8 pixels,
    // and only then the labels.
    g.labels = false;
    g.labelFont = g.font;
    int labelWidth = 0;
    for (int attempt = 0; attempt < 8 && !labels.isEmpty() && !g.labels; ++attempt) {
        sizeBar(attempt > 0);
        if (attempt > 1) {
            if (g.labelFont.pixelSize() <= 8)
                break;
            g.labelFont.setPixelSize(g.labelFont.pixelSize() - 1);
        }
        labelWidth = widest(g.labelFont);
        g.labels =
            labelWidth + LabelGap + g.markLength + g.barWidth + g.pointerWidth <= w - 2 * pad;
    }
    if (!g.labels)
        sizeBar(false);
    const int total =
        (g.labels ? labelWidth + LabelGap : 0) + g.markLength + g.barWidth + g.pointerWidth;
    const int left = std::max((w - total) / 2, 0);
    g.barLeft = left + (g.labels ? labelWidth + LabelGap : 0) + g.markLength;
    return g;
}

} // namespace

struct LinearGauge::Layout {
    explicit Layout(const GaugeGeometry &g)
        : geometry(g), metrics(g.font), labelMetrics(g.labelFont) {}

    struct Text {
        QStaticText text;
        QPointF topLeft;
    };
    GaugeGeometry geometry;
    QFontMetrics metrics;
    QFontMetrics labelMetrics;
    std::vector<int> markYs;
    std::vector<Text> labels; // only those with room beside their mark
    Text caption;             // elided to the room it has
};

QColor LinearGauge::zoneColor(GaugeZone zone) {
    switch (zone) {
    case GaugeZone::Good:
        return QColor(0x2e, 0xa0, 0x43);
    case GaugeZone::Warning:
        return QColor(0xe8, 0xa2, 0x02);
    case GaugeZone::Reject:
        return QColor(0xd1, 0x2d, 0x2d);
    case GaugeZone::Unknown:
        break;
    }
    return QColor(0x80, 0x80, 0x80);
}

QColor LinearGauge::staleColor() {
    return QColor(0xa0, 0xa0, 0xa0);
}

LinearGauge::LinearGauge(QWidget *parent) : QWidget(parent) {
    m_markers[0].thickness = 0.02; // the pointer is visible unless told otherwise
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    // As the grid's rows: a click selects the gauge, Enter then opens it.
    setFocusPolicy(Qt::ClickFocus);
}

LinearGauge::~LinearGauge() = default;

template <typename T> bool LinearGauge::assign(T &field, const T &value) {
    if constexpr (std::is_floating_point_v<T>) {
        if (sameValue(field, value))
            return false;
    } else {
        if (field == value)
            return false;
    }
    field = value;
    changed();
    return true;
}

template <typename T> void LinearGauge::assignLayout(T &field, const T &value) {
    if (assign(field, value))
        m_layout.reset();
}

void LinearGauge::changed() {
    if (m_redraw)
        update();
    else
        m_dirty = true;
}

void LinearGauge::setRedraw(bool on) {
    m_redraw = on;
    if (on && m_dirty) {
        m_dirty = false;
        update();
    }
}

void LinearGauge::setCaption(const QString &caption) {
    assignLayout(m_caption, caption);
}
void LinearGauge::setScaleTop(double value) {
    assignLayout(m_scaleTop, value);
}
void LinearGauge::setScaleBottom(double value) {
    assignLayout(m_scaleBottom, value);
}
void LinearGauge::setValueTop(double value) {
    assign(m_valueTop, value);
}
void LinearGauge::setValueBottom(double value) {
    assign(m_valueBottom, value);
}
void LinearGauge::setTickStep(double step) {
    assignLayout(m_tickStep, step);
}
void LinearGauge::setLabelDecimals(int decimals) {
    assignLayout(m_labelDecimals, decimals);
}
void LinearGauge::setValue(double value) {
    if (m_hasReading) {
        assign(m_value, value);
        return;
    }
    // The first reading shows even when it equals the value held without one.
    m_hasReading = true;
    m_value = value;
    changed();
}

void LinearGauge::setNeutral(bool on) {
    assignLayout(m_neutral, on);
}

void LinearGauge::setStale(bool on) {
    assign(m_stale, on);
}

void LinearGauge::setNote(const QString &note) {
    assign(m_note, note);
}

void LinearGauge::clearReading() {
    if (!m_hasReading)
        return;
    m_hasReading = false;
    m_value = 0.0;
    changed();
}

QString LinearGauge::readoutText() const {
    return m_hasReading ? numberText(m_value, m_labelDecimals) : QString();
}

void LinearGauge::setMarkerIndex(int index) {
    if (index >= 0 && index < MarkerCount)
        m_markerIndex = index;
}

void LinearGauge::setMarkerValue(double value) {
    assign(m_markers[static_cast<size_t>(m_markerIndex)].value, value);
}

void LinearGauge::setMarkerLength(double length) {
    assign(m_markers[static_cast<size_t>(m_markerIndex)].length, length);
}

void LinearGauge::setMarkerThickness(double thickness) {
    assign(m_markers[static_cast<size_t>(m_markerIndex)].thickness, thickness);
}

const LinearGauge::Marker &LinearGauge::marker(int index) const {
    return m_markers[static_cast<size_t>(std::clamp(index, 0, MarkerCount - 1))];
}

int LinearGauge::extraInt(int which) const {
    return which >= 0 && which < 3 ? m_extraInts[static_cast<size_t>(which)] : 0;
}
void LinearGauge::setExtraInt(int which, int value) {
    if (which >= 0 && which < 3)
        m_extraInts[static_cast<size_t>(which)] = value;
}
int LinearGauge::creationInt(int which) const {
    return which >= 0 && which < 2 ? m_creationInts[static_cast<size_t>(which)] : 0;
}
void LinearGauge::setCreationInt(int which, int value) {
    if (which >= 0 && which < 2)
        m_creationInts[static_cast<size_t>(which)] = value;
}
double LinearGauge::creationReal(int which) const {
    return which >= 0 && which < 2 ? m_creationReals[static_cast<size_t>(which)] : 0.0;
}
void LinearGauge::setCreationReal(int which, double value) {
    if (which >= 0 && which < 2)
        m_creationReals[static_cast<size_t>(which)] = value;
}

QSize LinearGauge::sizeHint() const {
    return QSize(90, 240);
}
QSize LinearGauge::minimumSizeHint() const {
    return QSize(30, 60);
}

bool LinearGauge::limitsShown() const {
    return std::all_of(m_markers.begin() + 1, m_markers.end(),
                       [](const Marker &m) { return m.thickness > 0.0; });
}

GaugeLimits LinearGauge::limits() const {
    return {m_markers[1].value, m_markers[2].value, m_markers[3].value, m_markers[4].value};
}

const LinearGauge::Layout &LinearGauge::layout() const {
    if (m_layout)
        return *m_layout;
    // Marks first at a generous count, then thinned to what the height allows.
    const GaugeScale scale(m_scaleBottom, m_scaleTop);
    const GaugeGeometry first = layOut(font(), size(), {});
    const int maxMarks = std::clamp((first.scaleBottomY - first.scaleTopY) / 4, 1, 100);
    // A neutral gauge has no scale to mark.
    const std::vector<double> marks =
        m_neutral ? std::vector<double>() : scale.marks(m_tickStep, maxMarks);
    QStringList texts;
    for (double mark : marks)
        texts << numberText(mark, m_labelDecimals);

    auto fresh = std::make_unique<Layout>(layOut(font(), size(), texts));
    const GaugeGeometry &g = fresh->geometry;
    auto staticText = [](const QString &text, const QFont &font) {
        QStaticText t(text);
        t.setTextFormat(Qt::PlainText);
        t.prepare(QTransform(), font);
        return t;
    };
    // A label only where the previous one leaves room, right-aligned before its mark.
    int lastLabelY = INT_MAX;
    for (size_t i = 0; i < marks.size(); ++i) {
        const int y = g.yOf(scale.fraction(marks[i]));
        fresh->markYs.push_back(y);
        const int labelHeight = fresh->labelMetrics.height();
        if (g.labels && std::abs(lastLabelY - y) >= labelHeight) {
            const QString &text = texts[static_cast<qsizetype>(i)];
            const int right = g.barLeft - g.markLength - LabelGap;
            fresh->labels.push_back({staticText(text, g.labelFont),
                                     QPointF(right - fresh->labelMetrics.horizontalAdvance(text),
                                             y - labelHeight / 2)});
            lastLabelY = y;
        }
    }
    const QString caption =
        fresh->metrics.elidedText(m_caption, Qt::ElideRight, g.captionRect.width());
    fresh->caption = {
        staticText(caption, g.font),
        QPointF(g.captionRect.left() +
                    (g.captionRect.width() - fresh->metrics.horizontalAdvance(caption)) / 2,
                g.captionRect.top())};
    m_layout = std::move(fresh);
    return *m_layout;
}

void LinearGauge::resizeEvent(QResizeEvent *event) {
    m_layout.reset();
    QWidget::resizeEvent(event);
}

void LinearGauge::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        m_layout.reset();
    QWidget::changeEvent(event);
}

void LinearGauge::paintEvent(QPaintEvent *) {
    const GaugeScale scale(m_scaleBottom, m_scaleTop);
    const bool withLimits = limitsShown() && !m_neutral;
    const GaugeLimits lim = limits();

    // A reading as the bar can show it: inside the value range when that range is sound.
    const GaugeScale valueRange(m_valueBottom, m_valueTop);
    auto inRange = [&](double v) {
        return valueRange.isUsable() && !std::isnan(v)
                   ? std::clamp(v, valueRange.low(), valueRange.high())
                   : v;
    };
    const double shown = inRange(m_value);

    const Layout &layout = this->layout();
    const GaugeGeometry &g = layout.geometry;

    QPainter p(this);
    p.setFont(g.font);
    const QPalette &pal = palette();

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        focus.backgroundColor = pal.color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }

    p.setPen(pal.color(QPalette::WindowText));
    p.drawStaticText(layout.caption.topLeft, layout.caption.text);
    const QString readout =
        m_hasReading ? readoutText()
                     : layout.metrics.elidedText(m_note, Qt::ElideRight, g.readoutRect.width());
    if (!g.readoutRect.isEmpty() && !readout.isEmpty()) {
        const int width = layout.metrics.horizontalAdvance(readout);
        p.setPen(m_stale || !m_hasReading ? staleColor() : pal.color(QPalette::WindowText));
        p.drawText(QPoint(g.readoutRect.left() + (g.readoutRect.width() - width) / 2,
                          g.readoutRect.top() + layout.metrics.ascent()),
                   readout);
    }
    if (!g.scale)
        return;
    p.setPen(pal.color(QPalette::WindowText));
    p.setFont(g.labelFont);
    for (const Layout::Text &label : layout.labels)
        p.drawStaticText(label.topLeft, label.text);

    // From here on, work in the bar's own coordinates: x from its left edge, y as on the widget.
    p.translate(g.barLeft, 0);
    const int barHeight = g.scaleBottomY - g.scaleTopY;
    const QRect bar(0, g.scaleTopY, g.barWidth, barHeight);
    p.fillRect(bar, pal.color(QPalette::Base));
    if (m_neutral) {
        // Nothing on the bar can be placed yet; its empty outline keeps the gauges in line.
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(bar.adjusted(0, 0, -1, -1));
        return;
    }

    auto band = [&](double from, double to, QColor color) {
        if (std::isnan(from) || std::isnan(to))
            return;
        const int y1 = g.yOf(scale.fraction(from));
        const int y2 = g.yOf(scale.fraction(to));
        p.fillRect(QRect(0, std::min(y1, y2), g.barWidth, std::abs(y2 - y1)), color);
    };
    if (withLimits && scale.isUsable()) {
        // Pale, opaque versions of the zone colours, so overlapping bands never mix.
        const QColor baseColor = pal.color(QPalette::Base);
        auto tint = [&baseColor](GaugeZone zone) {
            const QColor c = zoneColor(zone);
            auto mix = [](int strong, int pale) {
                return (strong * 3 + pale * 7) / 10;
            };
            return QColor(mix(c.red(), baseColor.red()), mix(c.green(), baseColor.green()),
                          mix(c.blue(), baseColor.blue()));
        };
        band(scale.low(), scale.high(), tint(GaugeZone::Reject));
        band(lim.loTol, lim.hiTol, tint(GaugeZone::Warning));
        band(std::max(lim.loTol, lim.loAppr), std::min(lim.hiTol, lim.hiAppr),
             tint(GaugeZone::Good));
    }

    // The filled bar grows from zero when zero is on the scale; a scale around a nominal size
    // (25.000 +- 0.005) grows from the middle of the tolerance, else from the nearer end.
    if (m_hasReading && !std::isnan(shown) && scale.isUsable()) {
        const bool zeroOnScale = scale.low() <= 0.0 && 0.0 <= scale.high();
        const double nominal = (lim.loTol + lim.hiTol) / 2;
        const double origin = zeroOnScale || !withLimits || !std::isfinite(nominal) ? 0.0 : nominal;
        const double base = std::clamp(origin, scale.low(), scale.high());
        const QColor fill = m_stale      ? staleColor()
                            : withLimits ? zoneColor(gaugeZone(m_value, lim))
                                         : pal.color(QPalette::Highlight);
        const int inset = std::max(g.barWidth / 5, 1);
        const int y1 = g.yOf(scale.fraction(base));
        const int y2 = g.yOf(scale.fraction(shown));
        p.fillRect(
            QRect(inset, std::min(y1, y2), g.barWidth - 2 * inset, std::max(std::abs(y2 - y1), 1)),
            fill);
    }

    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(bar.adjusted(0, 0, -1, -1));

    // Limit markers across the bar, from its left edge.
    for (int i = 1; i < MarkerCount; ++i) {
        const Marker &m = m_markers[static_cast<size_t>(i)];
        if (!(m.thickness > 0.0) || std::isnan(m.value) || !scale.isUsable())
            continue;
        const int thick =
            static_cast<int>(std::lround(std::clamp(m.thickness * barHeight, 1.0, 6.0)));
        const double share = std::isfinite(m.length) ? std::clamp(m.length, 0.0, 1.0) : 1.0;
        const int length = std::max(static_cast<int>(std::lround(share * g.barWidth)), 1);
        const int y = g.yOf(scale.fraction(m.value));
        p.fillRect(QRect(0, y - thick / 2, length, thick), pal.color(QPalette::WindowText));
    }

    // Scale marks left of the bar.
    p.setPen(pal.color(QPalette::WindowText));
    for (int y : layout.markYs)
        p.drawLine(-g.markLength, y, -1, y);

    // The pointer: a triangle right of the bar, its tip on the reading.
    const Marker &pointer = m_markers[0];
    const double pointerAt = inRange(pointer.value);
    if (m_hasReading && pointer.thickness > 0.0 && !std::isnan(pointerAt)) {
        const int y = g.yOf(scale.fraction(pointerAt));
        const int half = std::max(g.pointerWidth / 2, 3);
        QPainterPath path;
        path.moveTo(g.barWidth, y);
        path.lineTo(g.barWidth + g.pointerWidth, y - half);
        path.lineTo(g.barWidth + g.pointerWidth, y + half);
        path.closeSubpath();
        p.setRenderHint(QPainter::Antialiasing, true);
        const QColor pointerColor = m_stale ? staleColor() : pal.color(QPalette::WindowText);
        p.fillPath(path, pointerColor);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pointerColor);
        p.drawLine(0, y, g.barWidth - 1, y);
    }
}

void LinearGauge::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT openRequested();
    QWidget::mouseDoubleClickEvent(event);
}

void LinearGauge::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT openRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LinearGauge::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton)
        Q_EMIT rightClicked(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}
