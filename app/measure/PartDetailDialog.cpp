#include "PartDetailDialog.h"

#include "LogTable.h"
#include "LogTime.h"
#include "VerdictColours.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

PartDetailDialog::PartDetailDialog(const measurelog::PartRecord &part, QWidget *parent)
    : QDialog(parent), m_values(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Part %1").arg(part.serialNumber));
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QFormLayout;
    const std::pair<const char *, QString> rows[] = {
        {"Time:", recording::localTimeText(part.timeMs) + QStringLiteral("  (") +
                      measurelog::utcText(part.timeMs) + QLatin1Char(')')},
        {"Serial/lot:", part.serialText},
        {"Setup:", recording::setupFileLabel(part.setupFile)},
        {"View:", part.viewName},
        {"Operator:", part.operatorName},
        {"Station:", part.station},
        {"Verdict:", measurelog::verdictName(part.verdict)},
        {"Record:", part.uuid},
    };
    for (const auto &[label, text] : rows) {
        auto *value = new QLabel(text, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addRow(QString::fromLatin1(label), value);
    }
    layout->addLayout(fields);

    const QStringList header = recording::detailHeader();
    m_values->setColumnCount(static_cast<int>(header.size()));
    m_values->setHorizontalHeaderLabels(header);
    m_values->setRowCount(static_cast<int>(part.values.size()));
    m_values->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_values->verticalHeader()->hide();
    for (int row = 0; row < m_values->rowCount(); ++row) {
        const measurelog::ValueRecord &value = part.values[static_cast<size_t>(row)];
        const QStringList cells = recording::detailRow(value);
        for (int column = 0; column < cells.size(); ++column)
            m_values->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (auto colour = verdictColour(value.verdict)) {
            m_values->item(row, 2)->setBackground(*colour);
            m_values->item(row, recording::DetailColumnCount - 1)->setBackground(*colour);
        }
    }
    m_values->resizeColumnsToContents();
    layout->addWidget(m_values, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 480);
}
