#include "PlantLinkStatus.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

QString toneColour(plantlink::LinkStatusLine::Tone tone) {
    switch (tone) {
    case plantlink::LinkStatusLine::Tone::Good:
        return QStringLiteral("#2e7d32");
    case plantlink::LinkStatusLine::Tone::Busy:
        return QStringLiteral("#b26a00");
    case plantlink::LinkStatusLine::Tone::Trouble:
        break;
    }
    return QStringLiteral("#b3261e");
}

} // namespace

PlantLinkStatus::PlantLinkStatus(QWidget *parent)
    : QWidget(parent), m_mark(new QLabel(QStringLiteral("●"), this)), m_text(new QLabel(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(m_mark);
    layout->addWidget(m_text);
}

void PlantLinkStatus::showLine(const plantlink::LinkStatusLine &line) {
    m_mark->setStyleSheet(QStringLiteral("color: %1;").arg(toneColour(line.tone)));
    m_text->setText(line.text);
    setToolTip(line.toolTip);
}

QString PlantLinkStatus::text() const {
    return m_text->text();
}
