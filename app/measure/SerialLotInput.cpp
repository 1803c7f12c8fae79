#include "SerialLotInput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

SerialLotInput::SerialLotInput(QWidget *parent) : QWidget(parent), m_field(new QLineEdit(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Serial/&lot:"), this);
    label->setBuddy(m_field);
    m_field->setObjectName(QStringLiteral("serialLot"));
    m_field->setMaxLength(80);
    m_field->setClearButtonEnabled(true);
    layout->addWidget(label);
    layout->addWidget(m_field, 1);
    connect(m_field, &QLineEdit::textChanged, this, [this] { Q_EMIT serialChanged(text()); });
}

QString SerialLotInput::text() const {
    return m_field->text().trimmed();
}
