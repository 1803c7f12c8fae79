#pragma once

#include "GaugeRrData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// The measurement-system-analysis manual's worked repeatability and reproducibility example:
// 10 parts, appraisers A, B and C, 3 trials, as its data collection sheet prints them (trial by
// trial, parts 1 to 10).
namespace studies::example {

inline RrReadings publishedExample() {
    const double sheet[3][3][10] = {
        {{0.29, -0.56, 1.34, 0.47, -0.80, 0.02, 0.59, -0.31, 2.26, -1.36},
         {0.41, -0.68, 1.17, 0.50, -0.92, -0.11, 0.75, -0.20, 1.99, -1.25},
         {0.64, -0.58, 1.27, 0.64, -0.84, -0.21, 0.66, -0.17, 2.01, -1.31}},
        {{0.08, -0.47, 1.19, 0.01, -0.56, -0.20, 0.47, -0.63, 1.80, -1.68},
         {0.25, -1.22, 0.94, 1.03, -1.20, 0.22, 0.55, 0.08, 2.12, -1.62},
         {0.07, -0.68, 1.34, 0.20, -1.28, 0.06, 0.83, -0.34, 2.19, -1.50}},
        {{0.04, -1.38, 0.88, 0.14, -1.46, -0.29, 0.02, -0.46, 1.77, -1.49},
         {-0.11, -1.13, 1.09, 0.20, -1.07, -0.67, 0.01, -0.56, 1.45, -1.77},
         {-0.15, -0.96, 0.67, 0.11, -1.45, -0.49, 0.21, -0.49, 1.87, -2.16}},
    };
    RrReadings readings(3, std::vector<std::vector<double>>(10));
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t trial = 0; trial < 3; ++trial)
            for (std::size_t part = 0; part < 10; ++part)
                readings[a][part].push_back(sheet[a][trial][part]);
    return readings;
}

// A figure agrees with a printed one when it rounds to it: within half a unit of the printed
// number's last decimal.
inline ::testing::AssertionResult agreesWithPrinted(double actual, const std::string &printed) {
    const auto point = printed.find('.');
    const int decimals =
        point == std::string::npos ? 0 : static_cast<int>(printed.size() - point - 1);
    const double halfUnit = 0.5 * std::pow(10.0, -decimals) * (1.0 + 1e-9);
    if (std::fabs(actual - std::stod(printed)) <= halfUnit)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " does not round to " << printed;
}

} // namespace studies::example
