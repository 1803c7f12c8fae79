#pragma once

#include "LogFilter.h"
#include "LogReader.h"
#include "LogTable.h"

#include <QAbstractTableModel>

#include <vector>

// The log window's table: one row per part of the filter, newest first, fetched a page at a time
// as the view scrolls (keyed by id, so the millionth part costs what the first does). The model
// reads on its own connection; what the writer commits meanwhile shows after the next refresh.
class LogModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int PageSize = 200;

    explicit LogModel(const QString &logPath, QObject *parent = nullptr);

    // Reads the first page of the filter afresh with these columns. False when the log could not
    // be read; failure() says why and the table is empty.
    bool show(const measurelog::LogFilter &filter, recording::LogColumns columns);
    bool refresh() { return show(m_filter, m_columns); }
    const QString &failure() const { return m_failure; }
    const measurelog::LogFilter &filter() const { return m_filter; }
    measurelog::LogReader &reader() { return m_reader; }

    const measurelog::PartRecord &partAt(int row) const {
        return m_parts[static_cast<size_t>(row)];
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

Q_SIGNALS:
    void readFailed(const QString &failure);

private:
    measurelog::LogReader m_reader;
    measurelog::LogFilter m_filter;
    recording::LogColumns m_columns;
    std::vector<measurelog::PartRecord> m_parts;
    qint64 m_nextBeforeId = 0;
    bool m_atEnd = true;
    QString m_failure;
};
