#pragma once

#include "PartRecord.h"

#include <QDialog>

class QTableWidget;

// One recorded part in full: who, when, with which setup and view, and every value with the
// limits that held when it was recorded and its verdict, coloured like the gauges.
class PartDetailDialog : public QDialog {
    Q_OBJECT

public:
    explicit PartDetailDialog(const measurelog::PartRecord &part, QWidget *parent = nullptr);

    QTableWidget *values() const { return m_values; }

private:
    QTableWidget *m_values;
};
