#pragma once

#include "GaugeRrData.h"
#include "ScriptedReadingSource.h"
#include "StudyLayout.h"
#include "StudyRecord.h"

#include <QString>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

// What the study tests, the crash probe and the window's tests share: a gauge that reads parts
// the way the simulator does, and studies stored straight into a log.
namespace studyrun::testing {

// The simulator's parts, drawn the same way: part k's true size on each channel is the nominal
// plus the parts' spread times a normal value fixed by the seed, the part and the channel, so a
// part placed again has the same size; every tick adds to each reading a normal error of the
// noise σ, and each appraiser places the part with a bias of their own.
class SimulatedGauge {
public:
    struct Settings {
        std::uint64_t seed = 1;
        double nominal = 10.0;
        double partSpread = 0.02;
        double noise = 0.002;
        std::vector<double> appraiserBias; // by appraiser; none: 0
    };

    SimulatedGauge(ScriptedReadingSource &source, Settings settings);

    double trueSize(int part, int channel) const;
    // The step's part placed by its appraiser, and one tick of every channel of the source.
    void place(const studies::StudyStep &step);

private:
    ScriptedReadingSource &m_source;
    Settings m_settings;
    std::mt19937_64 m_noise;
};

// Two channels with tolerances: 1 "Bore" (4 decimals, T 0.1) and 2 "Shaft" (4 decimals, T 0.08).
std::vector<SourceChannel> gaugeChannels();
inline const QString GaugeSetup = QStringLiteral("crank.qor");

// The published example stored as a finished study of channel 1 "Bore" (2 decimals, T 5), the
// readings in its run order; returns the study's id (0 when it was not stored).
qint64 storePublishedStudy(const QString &logPath);
// A study of one channel stored with the readings given, [appraiser][part][trial], taken in its
// run order and marked complete.
qint64 storeStudy(const QString &logPath, measurelog::StudyRecord study,
                  const studies::RrReadings &readings);

} // namespace studyrun::testing
