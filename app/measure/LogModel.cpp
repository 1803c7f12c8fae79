#include "LogModel.h"

#include "VerdictColours.h"

#include <QBrush>

#include <utility>

LogModel::LogModel(const QString &logPath, QObject *parent)
    : QAbstractTableModel(parent), m_reader(logPath) {}

bool LogModel::show(const measurelog::LogFilter &filter, recording::LogColumns columns) {
    beginResetModel();
    m_filter = filter;
    m_columns = std::move(columns);
    m_parts.clear();
    m_nextBeforeId = 0;
    m_atEnd = false;
    m_failure.clear();
    endResetModel();
    fetchMore({});
    return m_failure.isEmpty();
}

int LogModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_parts.size());
}

int LogModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_columns.count();
}

QVariant LogModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const measurelog::PartRecord &part = partAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.text(part, index.column());
    case Qt::BackgroundRole:
        if (auto colour = verdictColour(m_columns.verdict(part, index.column())))
            return QBrush(*colour);
        return {};
    case Qt::TextAlignmentRole:
        if (!m_columns.at(index.column()).field)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= m_columns.count())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columns.at(section).title;
}

bool LogModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && !m_atEnd;
}

void LogModel::fetchMore(const QModelIndex &parent) {
    if (!canFetchMore(parent))
        return;
    measurelog::Read<measurelog::LogPage> page =
        m_reader.newestFirst(m_filter, m_nextBeforeId, PageSize);
    if (!page.ok()) {
        // Stop fetching: a log that cannot be read now is not asked again at every scroll.
        m_atEnd = true;
        m_failure = page.failure;
        Q_EMIT readFailed(m_failure);
        return;
    }
    m_atEnd = page.value.atEnd;
    if (page.value.parts.empty())
        return;
    m_nextBeforeId = page.value.nextBeforeId;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.value.parts.size()) - 1);
    m_parts.insert(m_parts.end(), std::make_move_iterator(page.value.parts.begin()),
                   std::make_move_iterator(page.value.parts.end()));
    endInsertRows();
}
