#pragma once

#include "GaugeScale.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

// A vertical linear gauge: caption, a scale with major marks and labels, the four limit markers
// and the pointer (marker 0) on a bar whose zones show at a glance whether the reading is good
// (within the approach limits), a warning (between approach and tolerance) or a reject (outside
// tolerance). Settings are plain properties, set one at a time; switching redraw off holds back
// painting while several of them change. Until it is given a reading the gauge shows none: no
// pointer, no filled bar and an empty readout, rather than a made-up value. A neutral gauge (its
// set-up not known yet) shows its reading as text alone, and a stale reading is drawn grey.
class LinearGauge : public QWidget {
    Q_OBJECT

public:
    // Markers: 0 is the pointer, 1 to 4 the limits (low tolerance, low approach, high approach,
    // high tolerance). Length is a share of the bar's width, thickness a share of the scale's
    // height; a thickness of 0 hides the marker.
    static constexpr int MarkerCount = 5;
    struct Marker {
        double value = 0.0;
        double length = 1.0;
        double thickness = 0.0;
    };

    // Colours of the zones; text and lines use the palette.
    static QColor zoneColor(GaugeZone zone);
    // Colour of a stale reading: its text, bar and pointer.
    static QColor staleColor();

    explicit LinearGauge(QWidget *parent = nullptr);
    ~LinearGauge() override;

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    double scaleTop() const { return m_scaleTop; }
    void setScaleTop(double value);
    double scaleBottom() const { return m_scaleBottom; }
    void setScaleBottom(double value);
    double valueTop() const { return m_valueTop; }
    void setValueTop(double value);
    double valueBottom() const { return m_valueBottom; }
    void setValueBottom(double value);
    double tickStep() const { return m_tickStep; }
    void setTickStep(double step);
    int labelDecimals() const { return m_labelDecimals; }
    void setLabelDecimals(int decimals);

    // The marker the next three settings go to; out of range values are ignored.
    int markerIndex() const { return m_markerIndex; }
    void setMarkerIndex(int index);
    double markerValue() const { return m_markers[static_cast<size_t>(m_markerIndex)].value; }
    void setMarkerValue(double value);
    double markerLength() const { return m_markers[static_cast<size_t>(m_markerIndex)].length; }
    void setMarkerLength(double length);
    double markerThickness() const {
        return m_markers[static_cast<size_t>(m_markerIndex)].thickness;
    }
    void setMarkerThickness(double thickness);
    const Marker &marker(int index) const;

    // The last reading (0 while there is none).
    double value() const { return m_value; }
    void setValue(double value);
    bool hasReading() const { return m_hasReading; }
    // Back to showing no reading, as before the first one (a new set-up, another item).
    void clearReading();
    // The text under the scale: the reading with the label decimals, empty without a reading.
    QString readoutText() const;

    // The set-up is not known: the reading shows as text only, with no scale, zones, limit
    // markers, bar or pointer, since none of them can be placed or judged yet.
    bool neutral() const { return m_neutral; }
    void setNeutral(bool on);
    // The reading is no longer current: drawn grey until the next one.
    bool stale() const { return m_stale; }
    void setStale(bool on);
    // Shown in the readout's place while there is no reading (an item that can have none).
    QString note() const { return m_note; }
    void setNote(const QString &note);

    // Settings the station gives the gauge without their showing anything here: three integers
    // cleared at every set-up, two integers and two reals handed to each gauge made at run time.
    int extraInt(int which) const;
    void setExtraInt(int which, int value);
    int creationInt(int which) const;
    void setCreationInt(int which, int value);
    double creationReal(int which) const;
    void setCreationReal(int which, double value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A double click with the left button, or Enter while the gauge has the focus (a click gives
    // it); a single click opens nothing.
    void openRequested();
    void rightClicked(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Where everything goes at the present size and settings; kept until one of them changes,
    // so that a new reading repaints without measuring any text.
    struct Layout;
    const Layout &layout() const;

    // Stores value and repaints when it differs; true when it did.
    template <typename T> bool assign(T &field, const T &value);
    template <typename T> void assignLayout(T &field, const T &value);
    void changed();
    bool limitsShown() const;
    GaugeLimits limits() const;

    bool m_redraw = true;
    bool m_dirty = false;
    QString m_caption;
    double m_scaleTop = 1.0;
    double m_scaleBottom = 0.0;
    double m_valueTop = 1.0;
    double m_valueBottom = 0.0;
    double m_tickStep = 0.1;
    int m_labelDecimals = 1;
    int m_markerIndex = 0;
    std::array<Marker, MarkerCount> m_markers;
    double m_value = 0.0;
    bool m_hasReading = false;
    bool m_neutral = false;
    bool m_stale = false;
    QString m_note;
    std::array<int, 3> m_extraInts{};
    std::array<int, 2> m_creationInts{};
    std::array<double, 2> m_creationReals{};
    mutable std::unique_ptr<Layout> m_layout;
};
