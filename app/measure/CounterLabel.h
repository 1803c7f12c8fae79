#pragma once

#include <QLabel>

namespace recording {
class PartCounter;
}

// The part counter in the main window's status area:
// "Parts 12 · good 10 · warn 1 · reject 1 · yield 91.7 %". It follows the counter, which changes
// only when the log confirms a part.
class CounterLabel : public QLabel {
    Q_OBJECT

public:
    explicit CounterLabel(const recording::PartCounter &counter, QWidget *parent = nullptr);

private:
    void show();

    const recording::PartCounter &m_counter;
};
