#include "UpDownArrows.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDownArrows::UpDownArrows(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton *arrow : {m_up, m_down}) {
        arrow->setAutoRaise(false);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        column->addWidget(arrow);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_up->setObjectName(QStringLiteral("arrowUp"));
    m_up->setToolTip(QStringLiteral("Next"));
    m_down->setArrowType(Qt::DownArrow);
    m_down->setObjectName(QStringLiteral("arrowDown"));
    m_down->setToolTip(QStringLiteral("Previous"));
    connect(m_up, &QToolButton::clicked, this, &UpDownArrows::up);
    connect(m_down, &QToolButton::clicked, this, &UpDownArrows::down);
}

void UpDownArrows::fitHeight(int height) {
    const int half = height / 2;
    const int width = std::max(half + 6, 16);
    m_up->setFixedSize(width, half);
    m_down->setFixedSize(width, height - half);
    setFixedSize(width, height);
}
