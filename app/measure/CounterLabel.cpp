#include "CounterLabel.h"

#include "PartCounter.h"

CounterLabel::CounterLabel(const recording::PartCounter &counter, QWidget *parent)
    : QLabel(parent), m_counter(counter) {
    setObjectName(QStringLiteral("partCounter"));
    connect(&counter, &recording::PartCounter::changed, this, &CounterLabel::show);
    show();
}

void CounterLabel::show() {
    const measurelog::Counters &c = m_counter.counters();
    setText(
        QStringLiteral("Parts %1 \u00b7 good %2 \u00b7 warn %3 \u00b7 reject %4 \u00b7 yield %5")
            .arg(c.parts)
            .arg(c.good)
            .arg(c.warn)
            .arg(c.reject)
            .arg(m_counter.yieldText()));
}
