#pragma once

#include "PartRecord.h"
#include "RecordingInput.h"

#include <QString>

// The record of one part, built on the GUI thread from what it already holds (the last tick's
// readings and the channels' set-ups), so handing a part to the log costs the poll nothing.
namespace recording {

// Who records, and with what: stored with every part.
struct RecordContext {
    QString station;
    QString operatorName;
    QString serialText; // the serial or lot the operator typed; may be empty
    QString setupFile;  // the setup file's name, without its folder; empty when none is loaded
    QString setupHash;  // of the file's content, when it was loaded or saved
};

class PartRecordBuilder {
public:
    explicit PartRecordBuilder(RecordContext context = {});

    const RecordContext &context() const { return m_context; }
    void setContext(RecordContext context) { m_context = std::move(context); }

    // One value per recorded entry of the view, in its order, with the limits that hold now and
    // its verdict; the part's verdict is the worst of them. The readings are taken as they are:
    // whether they are fresh enough is the record gate's to say. The time, uuid and serial
    // number are left to the log's writer.
    measurelog::PartRecord build(const RecordingView &view, const TickReadings &readings) const;

private:
    RecordContext m_context;
};

} // namespace recording
