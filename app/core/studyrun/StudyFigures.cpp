#include "StudyFigures.h"

#include "StudyPlan.h"

namespace studyrun {

StudyFigures studyFigures(const measurelog::StudyRecord &study,
                          const studies::StudyReadings &readings) {
    StudyFigures figures;
    if (!readings.isComplete()) {
        figures.pending = QStringLiteral("%1 of %2 readings are taken.")
                              .arg(readings.takenSteps())
                              .arg(readings.layout().readings());
        return figures;
    }
    if (study.kind == StudyKind::Type1) {
        studies::Type1Input input;
        input.readings = readings.readingsOf(0).at(0).at(0);
        input.reference = study.reference.value_or(0.0);
        input.tolerance = study.channels.front().tolerance.value_or(0.0);
        figures.type1 = studies::analyseType1(input);
        figures.type1Input = std::move(input);
        return figures;
    }
    for (std::size_t c = 0; c < study.channels.size(); ++c) {
        ChannelFigures channel;
        channel.channel = study.channels[c];
        channel.readings = readings.readingsOf(static_cast<int>(c));
        const studies::RrOptions options{spreadOf(study), channel.channel.tolerance};
        channel.anova = studies::analyseAnova(channel.readings, options);
        channel.averageRange = studies::analyseAverageRange(channel.readings, options);
        figures.channels.push_back(std::move(channel));
    }
    return figures;
}

} // namespace studyrun
