#include "SpcAnalysis.h"

#include <algorithm>

namespace spc {

namespace {

SubgroupPlan planFor(int size) {
    return fittedPlan({size, defaultChartKind(size)});
}

} // namespace

SpcAnalysis::SpcAnalysis(SpcDataSource &source, SpcChannel channel, AnalysisSettings settings)
    : source_(source), channel_(std::move(channel)), settings_(std::move(settings)),
      series_(planFor(settings_.subgroupSize)) {
    settings_.subgroupSize = series_.plan().size;
}

PartQuery SpcAnalysis::query() const {
    PartQuery asked;
    asked.channel = channel_.number;
    asked.afterId = lastId_;
    asked.sinceMs = settings_.sinceMs;
    asked.untilMs = settings_.untilMs;
    return asked;
}

void SpcAnalysis::add(const RecordedPart &part) {
    lastId_ = part.id;
    // A reading that is not a number has no place on a chart; the part is left out as a whole.
    if (!series_.append(part.value))
        return;
    if (follows_ && part.limits != newest_)
        changes_.push_back({ids_.size(), part.limits});
    follows_ = true;
    newest_ = part.limits;
    ids_.push_back(part.id);
    times_.push_back(part.timeMs);
}

void SpcAnalysis::skip(std::size_t subgroups) {
    series_.skip(subgroups);
    const std::size_t parts = subgroups * static_cast<std::size_t>(series_.plan().size);
    ids_.resize(ids_.size() + parts);
    times_.resize(times_.size() + parts);
    follows_ = false;
}

bool SpcAnalysis::read(const PartQuery &query, QString *error) {
    return source_.readParts(
        query, [this](const RecordedPart &part) { add(part); }, error);
}

bool SpcAnalysis::load(QString *error) {
    startLoading();
    return loadSlice(0, error);
}

void SpcAnalysis::startLoading() {
    series_ = SpcSeries(series_.plan());
    ids_.clear();
    times_.clear();
    changes_.clear();
    newest_ = {};
    lastId_ = 0;
    follows_ = false;
    loaded_ = false;
    preview_ = false;
    checkedFrom_ = 0;
}

bool SpcAnalysis::loadSlice(std::size_t parts, QString *error) {
    PartQuery slice = query();
    slice.limit = parts;
    std::size_t handed = 0;
    const bool read = source_.readParts(
        slice,
        [&](const RecordedPart &part) {
            ++handed;
            add(part);
        },
        error);
    if (read && parts > 0 && handed == parts)
        return true;
    finishLoading();
    return read;
}

void SpcAnalysis::finishLoading() {
    series_.setTolerance(newest_.tolerance);
    lookUpFrozen();
    refreshLimits();
    loaded_ = true;
}

bool SpcAnalysis::loadPreview(std::size_t subgroups, std::size_t wholeUpTo, QString *error) {
    startLoading();
    PartCount count;
    if (!source_.countParts(query(), &count, error))
        return false;
    const auto size = static_cast<std::size_t>(series_.plan().size);
    const std::size_t complete = count.parts / size;
    const auto baseline =
        static_cast<std::size_t>(std::max(settings_.baselineSubgroups, MinimumBaselineSubgroups));
    const bool first = settings_.baseline == BaselineChoice::FirstSubgroups;
    const std::size_t head = first ? baseline : 0;
    const std::size_t tail = std::max(subgroups + LongestPattern, first ? 0 : baseline);
    if (subgroups == 0 || count.parts <= wholeUpTo || head + tail >= complete)
        return loadSlice(0, error);

    // Room for every part counted, so that the parts after those left out move nothing.
    series_.reserve(count.parts);
    ids_.reserve(count.parts);
    times_.reserve(count.parts);
    // Up to the part counted last: parts recorded meanwhile come with the next new parts.
    PartQuery asked = query();
    asked.throughId = count.newestId;
    asked.limit = head * size;
    bool read = head == 0 || this->read(asked, error);
    skip(complete - head - tail);
    asked.limit = tail * size + count.parts % size;
    asked.newest = true;
    read = read && this->read(asked, error);
    if (!read) {
        startLoading();
        return false;
    }
    series_.setTolerance(newest_.tolerance);
    lookUpFrozen();
    preview_ = true;
    checkedFrom_ = complete - subgroups;
    refreshLimits();
    return true;
}

bool SpcAnalysis::readNewParts(Growth *growth, QString *error) {
    const std::size_t parts = partCount();
    const std::size_t subgroups = series_.subgroupCount();
    const std::size_t violations = ruleCheck_.violations.size();
    const bool read = this->read(query(), error);
    *growth = {};
    growth->parts = partCount() - parts;
    growth->subgroups = series_.subgroupCount() - subgroups;
    if (newest_.tolerance != series_.tolerance()) {
        series_.setTolerance(newest_.tolerance);
        growth->toleranceChanged = true;
    }
    if (growth->subgroups == 0)
        return read;
    if (origin_ == LimitsOrigin::Pending) {
        refreshLimits();
        growth->limitsChanged = true;
    } else if (ruleCheck_.state == RuleCheckState::Checked) {
        // Earlier points keep their verdicts: only the patterns the new points complete are new.
        RuleCheck added = checkRules(series_.means(), series_.spreads(), limits_.values,
                                     settings_.rules, subgroups);
        ruleCheck_.violations.insert(ruleCheck_.violations.end(), added.violations.begin(),
                                     added.violations.end());
        growth->violations = ruleCheck_.violations.size() - violations;
    }
    return read;
}

void SpcAnalysis::setSubgroupSize(int size) {
    SpcSeries regrouped(planFor(size));
    regrouped.reserve(series_.parts().size());
    regrouped.setTolerance(newest_.tolerance);
    regrouped.append(series_.parts());
    series_ = std::move(regrouped);
    settings_.subgroupSize = series_.plan().size;
    lookUpFrozen();
    refreshLimits();
}

void SpcAnalysis::setBaseline(int subgroups, BaselineChoice choice) {
    settings_.baselineSubgroups = subgroups;
    settings_.baseline = choice;
    // Frozen limits stay until they are recalculated.
    if (origin_ != LimitsOrigin::Frozen)
        refreshLimits();
}

void SpcAnalysis::setRules(const RuleSet &rules) {
    settings_.rules = rules;
    checkAll();
}

bool SpcAnalysis::freezeLimits(const QDateTime &now, QString *error) {
    const LimitsResult computed = controlLimits(series_, baseline());
    if (computed.state != LimitsState::Ready) {
        *error = QStringLiteral("The limits cannot be frozen yet: %1.").arg(computed.pending);
        return false;
    }
    const FrozenLimits frozen{channel_.number, source_.setupName(), now, computed.values};
    if (!source_.storeFrozenLimits(frozen, error))
        return false;
    frozen_ = frozen;
    settings_.useFrozenLimits = true;
    refreshLimits();
    return true;
}

Baseline SpcAnalysis::baseline() const {
    const int k = settings_.baselineSubgroups;
    const std::size_t count = series_.subgroupCount();
    if (settings_.baseline == BaselineChoice::LatestSubgroups && k > 0 &&
        count >= static_cast<std::size_t>(k)) {
        const auto size = static_cast<std::size_t>(series_.plan().size);
        return {Baseline::Kind::PartRange, k, (count - static_cast<std::size_t>(k)) * size,
                static_cast<std::size_t>(k) * size};
    }
    // Until k subgroups exist the newest k are the first k, and the chart says how many it waits
    // for.
    return {Baseline::Kind::FirstSubgroups, k};
}

void SpcAnalysis::lookUpFrozen() {
    frozen_ = source_.frozenLimits(channel_.number, series_.plan().size);
    // Limits stored for another kind of chart (or damaged) do not fit these subgroups.
    if (frozen_ && frozen_->values.plan != series_.plan())
        frozen_.reset();
}

void SpcAnalysis::refreshLimits() {
    if (frozen_ && settings_.useFrozenLimits) {
        origin_ = LimitsOrigin::Frozen;
        limits_ = {LimitsState::Ready,
                   frozen_->values.baselineSubgroups,
                   frozen_->values.baselineSubgroups,
                   {},
                   frozen_->values};
    } else {
        limits_ = controlLimits(series_, baseline());
        origin_ =
            limits_.state == LimitsState::Ready ? LimitsOrigin::Baseline : LimitsOrigin::Pending;
    }
    checkAll();
}

void SpcAnalysis::checkAll() {
    if (limits_.state != LimitsState::Ready) {
        ruleCheck_ = {};
        return;
    }
    ruleCheck_ = checkRules(series_.means(), series_.spreads(), limits_.values, settings_.rules,
                            checkedFrom_);
}

std::size_t SpcAnalysis::subgroupFirstPart(std::size_t subgroup) const {
    return subgroup * static_cast<std::size_t>(series_.plan().size);
}

std::size_t SpcAnalysis::subgroupLastPart(std::size_t subgroup) const {
    return subgroupFirstPart(subgroup) + static_cast<std::size_t>(series_.plan().size) - 1;
}

std::size_t SpcAnalysis::changeSubgroup(const LimitChange &change) const {
    return change.part / static_cast<std::size_t>(series_.plan().size);
}

std::optional<QDateTime> SpcAnalysis::frozenAt() const {
    if (origin_ != LimitsOrigin::Frozen)
        return std::nullopt;
    return frozen_->setAt;
}

Capability SpcAnalysis::capability() const {
    return spc::capability(series_.capabilityInput(), series_.tolerance());
}

QString SpcAnalysis::limitsText() const {
    const LimitValues &values = limits_.values;
    const QString subgroups =
        QStringLiteral("subgroups %1 to %2")
            .arg(values.firstBaselineSubgroup + 1)
            .arg(values.firstBaselineSubgroup + static_cast<std::size_t>(values.baselineSubgroups));
    switch (origin_) {
    case LimitsOrigin::Pending:
        break;
    case LimitsOrigin::Baseline:
        return QStringLiteral("Limits from %1, not frozen").arg(subgroups);
    case LimitsOrigin::Frozen:
        return QStringLiteral("Limits frozen on %1 from %2")
            .arg(frozen_->setAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                 subgroups);
    }
    return limits_.pending.left(1).toUpper() + limits_.pending.mid(1);
}

QString SpcAnalysis::limitChangeText() const {
    if (changes_.empty())
        return {};
    const LimitChange &last = changes_.back();
    const QString times = changes_.size() == 1 ? QStringLiteral("once")
                                               : QStringLiteral("%1 times").arg(changes_.size());
    return QStringLiteral("The channel's limits changed %1 within these parts, last at part %2 "
                          "(%3); the figures use the newest: %4.")
        .arg(times, QString::number(ids_[last.part]), localTimeText(times_[last.part]),
             toleranceText(last.limits.tolerance, channel_.decimals));
}

QString toleranceText(const Tolerance &tolerance, int decimals) {
    const auto number = [decimals](double value) {
        return QString::number(value, 'f', decimals);
    };
    if (tolerance.lower && tolerance.upper)
        return QStringLiteral("%1 to %2").arg(number(*tolerance.lower), number(*tolerance.upper));
    if (tolerance.upper)
        return QStringLiteral("up to %1").arg(number(*tolerance.upper));
    if (tolerance.lower)
        return QStringLiteral("from %1").arg(number(*tolerance.lower));
    return QStringLiteral("none");
}

QString partLimitsText(const PartLimits &limits, int decimals) {
    const QString tolerance = toleranceText(limits.tolerance, decimals);
    if (!limits.nominal)
        return tolerance;
    return QStringLiteral("%1, nominal %2")
        .arg(tolerance, QString::number(*limits.nominal, 'f', decimals));
}

QString localTimeText(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString utcTimeText(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(Qt::ISODateWithMs);
}

} // namespace spc
