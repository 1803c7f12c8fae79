#include "ChannelLabels.h"

#include "PollCycle.h"

#include <QLabel>

#include <algorithm>

ChannelLabels::ChannelLabels(QLabel *first, LiveValues &live, QObject *parent)
    : QObject(parent), m_labels{first} {
    LiveRequest request;
    request.place = TickPlace::ChannelLabels;
    request.withTheList = true;
    request.rows = [this] {
        return static_cast<int>(m_shown.size());
    };
    request.object = [](int channel) {
        return LiveObject::channel(channel);
    };
    request.deliver = [this](const LiveReading &reading) {
        show(reading);
    };
    request.restarted = [this] {
        m_shown.assign(m_labels.size() - 1, PollCycle::Unshown);
    };
    m_live = live.subscribe(std::move(request));
}

ChannelLabels::~ChannelLabels() = default;

void ChannelLabels::setCount(int channels) {
    while (static_cast<int>(m_labels.size()) > std::max(channels, 0) + 1) {
        delete m_labels.back();
        m_labels.pop_back();
    }
    QLabel *first = m_labels.front();
    for (int n = static_cast<int>(m_labels.size()); n <= channels; ++n) {
        const QLabel *above = m_labels.back();
        auto *label = new QLabel(first->parentWidget());
        label->setObjectName(QStringLiteral("LabelChan_%1").arg(n));
        label->setFont(first->font());
        label->setGeometry(above->x(), above->y() + above->height(), above->width(),
                           above->height());
        label->setVisible(false);
        label->setEnabled(false);
        m_labels.push_back(label);
    }
    m_shown.resize(m_labels.size() - 1, PollCycle::Unshown);
}

QLabel *ChannelLabels::label(int n) const {
    return (n >= 0 && n < count()) ? m_labels[static_cast<size_t>(n)] : nullptr;
}

QString ChannelLabels::caption(int n) const {
    const QLabel *shown = label(n);
    return shown ? shown->text() : QString();
}

QString ChannelLabels::channelText(int channel) const {
    return channel >= 1 ? caption(channel) : QString();
}

// After a view change every label is offered afresh; followers hear only of captions that really
// change.
void ChannelLabels::show(const LiveReading &reading) {
    const int channel = reading.object.number;
    if (!reading.value || channel < 1 || channel > static_cast<int>(m_shown.size()))
        return;
    float &shown = m_shown[static_cast<size_t>(channel - 1)];
    if (*reading.value == shown)
        return;
    shown = *reading.value;
    QLabel *target = label(channel);
    if (!target || target->text() == reading.text())
        return;
    target->setText(reading.text());
    Q_EMIT captionChanged(channel, reading.text());
}
