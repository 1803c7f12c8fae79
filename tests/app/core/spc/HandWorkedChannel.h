#pragma once

#include "MemorySpcSource.h"

#include <vector>

// A channel small enough to work out by hand, and its CSV file as worked out: the export's
// tests and the SPC window's both compare with it byte for byte.
namespace handworked {

constexpr qint64 StartMs = 1709532000000; // 2024-03-04 06:00 UTC
constexpr int Channel = 7;

// Five subgroups of two; the last one's mean lies far beyond the limits of the first three.
inline const std::vector<double> Parts{10.0, 10.2, 10.1, 10.1, 9.9, 10.1, 10.0, 10.0, 11.0, 11.0};

inline void fill(spc::MemorySpcSource &source) {
    source.addChannel({Channel, QStringLiteral("Bore \"A\", upper"), 1});
    for (std::size_t i = 0; i < Parts.size(); ++i)
        source.addPart(Channel, Parts[i], StartMs + static_cast<qint64>(i) * 1000,
                       {{9.5, 10.5}, 10.0});
}

// The figures worked out by hand: the limits from the first three subgroups with A2 = 1.880 and
// D4 = 3.267, σ within from R̄ / d2 over all five, the bounds from the chi-square and normal
// quantiles for 9 degrees of freedom.
inline const char *const Expected =
    "subgroup,first_part,last_part,time_utc,mean,range,violations\r\n"
    "1,1,2,2024-03-04T06:00:01.000Z,10.100,0.200,\r\n"
    "2,3,4,2024-03-04T06:00:03.000Z,10.100,0.000,\r\n"
    "3,5,6,2024-03-04T06:00:05.000Z,10.000,0.200,\r\n"
    "4,7,8,2024-03-04T06:00:07.000Z,10.000,0.000,\r\n"
    "5,9,10,2024-03-04T06:00:09.000Z,11.000,0.000,WE 1\r\n"
    "\r\n"
    "figure,value,lower_95,upper_95\r\n"
    "channel,7,,\r\n"
    "description,\"Bore \"\"A\"\", upper\",,\r\n"
    "setup,line 3.qor,,\r\n"
    "chart,xbar-r,,\r\n"
    "subgroup_size,2,,\r\n"
    "parts,10,,\r\n"
    "subgroups,5,,\r\n"
    "first_part,1,,\r\n"
    "last_part,10,,\r\n"
    "first_time_utc,2024-03-04T06:00:00.000Z,,\r\n"
    "last_time_utc,2024-03-04T06:00:09.000Z,,\r\n"
    "lsl,9.5,,\r\n"
    "usl,10.5,,\r\n"
    "nominal,10.0,,\r\n"
    "limit_changes,0,,\r\n"
    "limits,baseline,,\r\n"
    "limits_set_at,,,\r\n"
    "baseline_first_subgroup,1,,\r\n"
    "baseline_subgroups,3,,\r\n"
    "mean_lcl,9.816,,\r\n"
    "mean_cl,10.067,,\r\n"
    "mean_ucl,10.317,,\r\n"
    "range_lcl,0.000,,\r\n"
    "range_cl,0.133,,\r\n"
    "range_ucl,0.436,,\r\n"
    "violations,1,,\r\n"
    "n,10,,\r\n"
    "mean,10.240,,\r\n"
    "sigma_within,0.071,,\r\n"
    "sigma_overall,0.409,,\r\n"
    "cp,2.351,1.288,3.418\r\n"
    "cpk,1.222,0.621,1.824\r\n"
    "pp,0.408,0.223,0.593\r\n"
    "ppk,0.212,-0.017,0.441\r\n"
    "observed_ppm,200000.0,,\r\n"
    "expected_ppm_within,122.6,,\r\n"
    "expected_ppm_overall,297513.3,,\r\n";

} // namespace handworked
