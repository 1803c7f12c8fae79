#include "FormLinGage.h"

#include "DisplayRules.h"
#include "DisplayedState.h"
#include "LinearGauge.h"
#include "ui_FormLinGage.h"

#include <QPointer>
#include <algorithm>

namespace {

// Marker lines of a channel's limits, and of the hidden markers of items without limits.
constexpr double LimitMarkerLength = 0.85;
constexpr double LimitMarkerThickness = 0.01;

// What a gauge says in its reading's place when its group entry names no channel.
const QString NoSuchChannelNote = QStringLiteral("no channel");

} // namespace

FormLinGage::FormLinGage(DisplayedState state, QWidget *parent)
    : DisplayWindow(state, LayoutWindow::Bar, parent), ui(std::make_unique<Ui::FormLinGage>()) {
    ui->setupUi(this);
    setContentsMargins(3, 3, 3, 3);
    attach(ui->LGauge1_0, 0);
}

FormLinGage::~FormLinGage() = default;

LinearGauge *FormLinGage::gauge(int k) const {
    return k >= 0 && k < gaugeCount() ? LGauge1[static_cast<size_t>(k)] : nullptr;
}

void FormLinGage::attach(LinearGauge *gauge, int k) {
    LGauge1.push_back(gauge);
    connect(gauge, &LinearGauge::openRequested, this, [this, k] { Q_EMIT gaugeClicked(k + 1); });
    connect(gauge, &LinearGauge::rightClicked, this,
            [this, k](QPoint globalPos) { Q_EMIT gaugeRightClicked(k + 1, globalPos); });
}

void FormLinGage::SetBarValue(int bar, float BValue) {
    LinearGauge *g = gauge(bar - 1);
    if (!g)
        return;
    g->setRedraw(false);
    g->setValue(BValue);
    g->setMarkerIndex(0);
    g->setMarkerValue(BValue);
    g->setRedraw(true);
}

void FormLinGage::SetBarStale(int bar, bool stale) {
    if (LinearGauge *g = gauge(bar - 1))
        g->setStale(stale);
}

void FormLinGage::SetNumberOfBars() {
    if (const auto count = displayItemCount(m_state))
        m_totalNumberOfBars = *count;
    setGaugeCount(m_totalNumberOfBars);
    layOutGauges();
}

void FormLinGage::setGaugeCount(int count) {
    const int wanted = std::max(count, 1);
    if (wanted == gaugeCount())
        return;
    LinearGauge *first = LGauge1.front();
    const double real0 = first->creationReal(0);
    const double real1 = first->creationReal(1);
    first->setRedraw(false);
    while (gaugeCount() > wanted) {
        delete LGauge1.back();
        LGauge1.pop_back();
    }
    while (gaugeCount() < wanted) {
        const int k = gaugeCount();
        auto *g = new LinearGauge(this);
        g->setObjectName(QStringLiteral("LGauge1_%1").arg(k));
        g->setCreationInt(0, 1);
        g->setCreationInt(1, 0);
        g->setCreationReal(0, real0);
        g->setCreationReal(1, real1);
        attach(g, k);
    }
}

void FormLinGage::UpdateBarDisplay() {
    // Both displays and the poll must agree on the group shown.
    if (m_state.view.ViewMode == View::Group)
        clampedSelectedGroup(m_state);
    SetNumberOfBars();
    const QString caption = barWindowCaption(m_state);
    if (!m_runReads) {
        showSetups(caption, collectGaugeSetups(m_state, m_totalNumberOfBars));
        return;
    }
    LinkSequence reads(caption);
    reads.setSharesLineWithPoll(true);
    const QPointer<FormLinGage> form(this);
    const unsigned generation = ++m_setupGeneration;
    const auto wanted = [form, generation] {
        const FormLinGage *open = form.data();
        return open && generation == open->m_setupGeneration;
    };
    // Each gauge is made whole as soon as its own set-up is read, keeping the reading it shows.
    const auto ready = [form](qsizetype i, const GaugeSetup &setup) {
        FormLinGage *open = form.data();
        if (!open)
            return;
        if (LinearGauge *g = open->gauge(static_cast<int>(i)))
            open->configure(*g, setup, true);
    };
    const auto setups = planGaugeSetups(m_state, m_totalNumberOfBars, reads, wanted, ready);
    showSetups(caption, *setups);
    m_runReads(std::move(reads));
}

void FormLinGage::showSetups(const QString &caption, const std::vector<GaugeSetup> &setups) {
    m_totalNumberOfBars = static_cast<int>(setups.size());
    setGaugeCount(m_totalNumberOfBars);
    setWindowTitle(caption);
    for (size_t i = 0; i < setups.size(); ++i)
        configure(*LGauge1[i], setups[i]);
    layOutGauges();
}

void FormLinGage::configure(LinearGauge &g, const GaugeSetup &setup, bool keepReading) {
    g.setRedraw(false);
    // A reading of the previous set-up means nothing on this one.
    if (!keepReading) {
        g.clearReading();
        g.setStale(false);
    }
    g.setNeutral(!setup.isKnown());
    g.setNote(setup.setup == ItemSetup::Missing ? NoSuchChannelNote : QString());
    g.setExtraInt(0, 0);
    g.setCaption(setup.label);
    g.setToolTip(setup.fullLabel);
    g.setExtraInt(1, 0);
    g.setScaleTop(setup.top);
    g.setScaleBottom(setup.bottom);
    g.setExtraInt(2, 0);
    g.setValueBottom(setup.bottom);
    g.setValueTop(setup.top);
    g.setTickStep(gaugeTickStep(setup.top, setup.bottom));

    const double markers[4] = {setup.loTol, setup.loAppr, setup.hiAppr, setup.hiTol};
    for (int m = 1; m <= 4; ++m) {
        g.setMarkerIndex(m);
        if (setup.hasLimits && setup.isKnown()) {
            g.setMarkerValue(markers[m - 1]);
            g.setMarkerLength(LimitMarkerLength);
            g.setMarkerThickness(LimitMarkerThickness);
        } else {
            g.setMarkerValue(m <= 2 ? setup.bottom : setup.top);
            g.setMarkerLength(1.0);
            g.setMarkerThickness(0.0);
        }
    }
    g.setMarkerIndex(0);
    g.setLabelDecimals(setup.decimals);
    g.setRedraw(true);
}

void FormLinGage::layOutGauges() {
    const std::vector<QRect> cells = gaugeCells(m_totalNumberOfBars, contentsRect());
    for (int k = 0; k < gaugeCount(); ++k) {
        LinearGauge *g = LGauge1[static_cast<size_t>(k)];
        if (k < static_cast<int>(cells.size())) {
            g->setGeometry(cells[static_cast<size_t>(k)]);
            g->show();
            g->setRedraw(true);
        } else {
            // Only an empty view leaves a gauge over: gauge 0, which always exists.
            g->hide();
        }
    }
}

void FormLinGage::resizeEvent(QResizeEvent *event) {
    DisplayWindow::resizeEvent(event);
    layOutGauges();
}
