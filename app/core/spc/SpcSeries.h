#pragma once

#include "Capability.h"
#include "RunningMoments.h"
#include "SubgroupPlan.h"

#include <span>
#include <vector>

// One channel's parts in the order they were measured, grouped into consecutive subgroups, with
// what the charts and the capability figures need kept up to date as each part arrives: a new
// part changes only the last subgroup and some running sums, so a long series costs the same per
// part as a short one.
//
// Subgroup i holds parts i·k to i·k + k − 1. Only complete subgroups are charted and enter
// σ within; an incomplete last subgroup waits for its remaining parts. Every part, the waiting
// ones too, counts in n, the mean, σ overall and the parts outside the tolerance.
namespace spc {

class SpcSeries {
public:
    // The plan is fitted first (see fittedPlan).
    explicit SpcSeries(SubgroupPlan plan = {});

    // A reading that is not a finite number is refused (false) and changes nothing.
    bool append(double reading);
    void append(std::span<const double> readings);
    void reserve(std::size_t parts);
    // Subgroups whose parts are not held (a first look at a long history leaves its middle out),
    // between whole subgroups: they chart as nothing (NaN), count in no figure, and the first
    // part after them has no moving range.
    void skip(std::size_t subgroups);

    // Counts the parts outside the new tolerance afresh.
    void setTolerance(const Tolerance &tolerance);

    const SubgroupPlan &plan() const { return plan_; }
    const Tolerance &tolerance() const { return tolerance_; }
    std::span<const double> parts() const { return parts_; }
    std::size_t subgroupCount() const { return means_.size(); }
    // One entry per complete subgroup: its mean (the part itself for individuals) and its range,
    // standard deviation (n − 1) or moving range. The first part of an individuals chart has no
    // moving range: its spread is NaN.
    std::span<const double> means() const { return means_; }
    std::span<const double> spreads() const { return spreads_; }
    const RunningMoments &overall() const { return overall_; }

    // R̄ / d2, S̄ / c4 or MR̄ / d2(2) over every complete subgroup; none before the first spread.
    std::optional<double> sigmaWithin() const;
    CapabilityInput capabilityInput() const;

private:
    void completeSubgroup();
    void count(double reading);

    SubgroupPlan plan_;
    Tolerance tolerance_;
    std::vector<double> parts_;
    std::vector<double> means_;
    std::vector<double> spreads_;
    std::size_t resumedAt_ = 0; // parts held before the last skipped subgroups
    double spreadSum_ = 0.0;
    std::size_t spreadCount_ = 0;
    RunningMoments overall_;
    std::size_t below_ = 0;
    std::size_t above_ = 0;
};

} // namespace spc
