#include "SpcSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace spc {

namespace {

double sampleSigma(std::span<const double> values, double mean) {
    double squares = 0.0;
    for (const double value : values)
        squares += (value - mean) * (value - mean);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

} // namespace

SpcSeries::SpcSeries(SubgroupPlan plan) : plan_(fittedPlan(plan)) {}

bool SpcSeries::append(double reading) {
    if (!std::isfinite(reading))
        return false;
    parts_.push_back(reading);
    overall_.add(reading);
    count(reading);
    if (parts_.size() % static_cast<std::size_t>(plan_.size) == 0)
        completeSubgroup();
    return true;
}

void SpcSeries::append(std::span<const double> readings) {
    for (const double reading : readings)
        append(reading);
}

void SpcSeries::reserve(std::size_t parts) {
    parts_.reserve(parts);
    const std::size_t subgroups = parts / static_cast<std::size_t>(plan_.size);
    means_.reserve(subgroups);
    spreads_.reserve(subgroups);
}

void SpcSeries::skip(std::size_t subgroups) {
    means_.resize(means_.size() + subgroups, std::numeric_limits<double>::quiet_NaN());
    spreads_.resize(spreads_.size() + subgroups, std::numeric_limits<double>::quiet_NaN());
    resumedAt_ = parts_.size();
}

void SpcSeries::setTolerance(const Tolerance &tolerance) {
    tolerance_ = tolerance;
    below_ = 0;
    above_ = 0;
    for (const double reading : parts_)
        count(reading);
}

void SpcSeries::count(double reading) {
    if (tolerance_.lower && reading < *tolerance_.lower)
        ++below_;
    if (tolerance_.upper && reading > *tolerance_.upper)
        ++above_;
}

void SpcSeries::completeSubgroup() {
    const auto size = static_cast<std::size_t>(plan_.size);
    const std::span<const double> group(parts_.data() + parts_.size() - size, size);
    const double mean =
        std::accumulate(group.begin(), group.end(), 0.0) / static_cast<double>(size);
    double spread = std::numeric_limits<double>::quiet_NaN();
    switch (plan_.kind) {
    case ChartKind::XbarR: {
        const auto [lowest, highest] = std::minmax_element(group.begin(), group.end());
        spread = *highest - *lowest;
        break;
    }
    case ChartKind::XbarS:
        spread = sampleSigma(group, mean);
        break;
    case ChartKind::IndividualsMovingRange:
        if (parts_.size() >= resumedAt_ + 2)
            spread = std::fabs(parts_.back() - parts_[parts_.size() - 2]);
        break;
    }
    means_.push_back(mean);
    spreads_.push_back(spread);
    if (!std::isnan(spread)) {
        spreadSum_ += spread;
        ++spreadCount_;
    }
}

std::optional<double> SpcSeries::sigmaWithin() const {
    if (spreadCount_ == 0)
        return std::nullopt;
    return sigmaFromMeanSpread(plan_, spreadSum_ / static_cast<double>(spreadCount_));
}

CapabilityInput SpcSeries::capabilityInput() const {
    return {overall_.n, overall_.mean, sigmaWithin(), overall_.sampleSigma(), below_, above_};
}

} // namespace spc
