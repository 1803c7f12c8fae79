#pragma once

#include "Capability.h"
#include "SpcFigures.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QTableWidget;

// The capability figures as a table (figure, value, 95 % bounds) and, under it, in words, why
// figures are missing.
class CapabilityPanel : public QWidget {
    Q_OBJECT

public:
    explicit CapabilityPanel(QWidget *parent = nullptr);

    void showCapability(const spc::Capability &capability, int decimals);
    // The figures' names without values, and the remark in their place.
    void showPending(const QString &remark);

    QTableWidget *table() const { return table_; }
    QString remark() const;
    // The value shown for a figure by its file key ("cpk"); "—" where it is missing.
    QString value(const QString &key) const;

private:
    void showRows(const std::vector<spc::FigureRow> &rows, const QString &remark);
    void setText(int row, int column, const QString &text);
    void widen(int column, const QString &text);

    QTableWidget *table_;
    QLabel *remark_;
    std::vector<QString> keys_;
    std::array<int, 3> widths_{};
};
