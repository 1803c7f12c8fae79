#include "LogSchema.h"

#include "Sqlite.h"

#include <string>

namespace measurelog {

namespace {

// Verdicts are stored as numbers: 0 no limits, 1 good, 2 warn, 3 reject (worst is largest).
// Times are UTC milliseconds since 1970. Indexes are named for the filter they serve. The part
// counter (parts and verdicts since its last reset) and the serial counter (never reset) share
// one row, so a part's commit writes one page for both. A study's reading has a row per channel,
// all with the reading's sequence number (its place in the study's history).
constexpr MigrationStep Steps[] = {
    {"parts, their values, the part and serial counters and each setup's channels",
     R"sql(
CREATE TABLE parts (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    time_ms INTEGER NOT NULL,
    station TEXT NOT NULL,
    operator TEXT NOT NULL,
    serial_number INTEGER NOT NULL,
    serial_text TEXT NOT NULL,
    setup_file TEXT NOT NULL,
    setup_hash TEXT NOT NULL,
    view_name TEXT NOT NULL,
    verdict INTEGER NOT NULL CHECK (verdict BETWEEN 0 AND 3)
);
CREATE TABLE part_values (
    part_id INTEGER NOT NULL REFERENCES parts (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    channel INTEGER NOT NULL,
    description TEXT NOT NULL,
    value REAL NOT NULL,
    decimals INTEGER NOT NULL,
    nominal REAL,
    low_tolerance REAL,
    high_tolerance REAL,
    low_approach REAL,
    high_approach REAL,
    verdict INTEGER NOT NULL CHECK (verdict BETWEEN 0 AND 3),
    PRIMARY KEY (part_id, position)
) WITHOUT ROWID;
CREATE TABLE counters (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    parts INTEGER NOT NULL,
    good INTEGER NOT NULL,
    warn INTEGER NOT NULL,
    reject INTEGER NOT NULL,
    reset_ms INTEGER NOT NULL,
    last_serial INTEGER NOT NULL
);
INSERT INTO counters VALUES (1, 0, 0, 0, 0, 0, 0);
CREATE TABLE setup_channels (
    setup_file TEXT NOT NULL,
    channel INTEGER NOT NULL,
    description TEXT NOT NULL,
    PRIMARY KEY (setup_file, channel)
) WITHOUT ROWID;
CREATE INDEX parts_by_time ON parts (time_ms);
CREATE INDEX parts_by_setup ON parts (setup_file);
CREATE INDEX parts_by_verdict ON parts (verdict);
CREATE UNIQUE INDEX parts_by_serial ON parts (serial_number);
)sql"},
    {"the plant link's outbox: when the broker took each part",
     R"sql(
ALTER TABLE parts ADD COLUMN sent_ms INTEGER;
CREATE INDEX parts_unsent ON parts (id) WHERE sent_ms IS NULL;
)sql"},
    {"SPC: each channel's readings in recording order, its frozen control limits and subgroup size",
     R"sql(
-- Holds all a chart reads, so a channel's long history is read from the index alone.
CREATE INDEX part_values_by_channel
    ON part_values (channel, part_id, value, nominal, low_tolerance, high_tolerance);
CREATE TABLE spc_limits (
    setup_file TEXT NOT NULL,
    channel INTEGER NOT NULL,
    subgroup_size INTEGER NOT NULL,
    chart INTEGER NOT NULL,
    set_ms INTEGER NOT NULL,
    location_lower REAL NOT NULL,
    location_centre REAL NOT NULL,
    location_upper REAL NOT NULL,
    spread_lower REAL NOT NULL,
    spread_centre REAL NOT NULL,
    spread_upper REAL NOT NULL,
    sigma_within REAL NOT NULL,
    baseline_subgroups INTEGER NOT NULL,
    first_baseline_subgroup INTEGER NOT NULL,
    PRIMARY KEY (setup_file, channel, subgroup_size)
) WITHOUT ROWID;
CREATE TABLE spc_subgroup_sizes (
    setup_file TEXT NOT NULL,
    channel INTEGER NOT NULL,
    subgroup_size INTEGER NOT NULL,
    PRIMARY KEY (setup_file, channel)
) WITHOUT ROWID;
)sql"},
    {"gauge studies: their set-up, channels and readings (a reading taken again is kept, "
     "marked replaced)",
     R"sql(
CREATE TABLE studies (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    kind TEXT NOT NULL CHECK (kind IN ('type-1', 'gauge-rr')),
    created_ms INTEGER NOT NULL,
    station TEXT NOT NULL,
    setup_file TEXT NOT NULL,
    appraisers INTEGER NOT NULL CHECK (appraisers > 0),
    parts INTEGER NOT NULL CHECK (parts > 0),
    trials INTEGER NOT NULL CHECK (trials > 0),
    appraiser_names TEXT NOT NULL,
    reference REAL,
    seed INTEGER NOT NULL,
    sigma_multiplier REAL NOT NULL CHECK (sigma_multiplier IN (6, 5.15)),
    status TEXT NOT NULL CHECK (status IN ('running', 'complete'))
);
CREATE TABLE study_channels (
    study_id INTEGER NOT NULL REFERENCES studies (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    channel INTEGER NOT NULL,
    description TEXT NOT NULL,
    decimals INTEGER NOT NULL,
    tolerance REAL,
    PRIMARY KEY (study_id, position)
) WITHOUT ROWID;
CREATE TABLE study_readings (
    study_id INTEGER NOT NULL REFERENCES studies (id) ON DELETE CASCADE,
    sequence INTEGER NOT NULL,
    position INTEGER NOT NULL,
    appraiser INTEGER NOT NULL,
    part INTEGER NOT NULL,
    trial INTEGER NOT NULL,
    channel INTEGER NOT NULL,
    value REAL NOT NULL,
    time_ms INTEGER NOT NULL,
    replaced INTEGER NOT NULL CHECK (replaced IN (0, 1)),
    PRIMARY KEY (study_id, sequence, position)
) WITHOUT ROWID;
CREATE INDEX study_readings_by_step ON study_readings (study_id, appraiser, part, trial)
    WHERE replaced = 0;
)sql"},
};

} // namespace

std::span<const MigrationStep> migrationSteps() {
    return Steps;
}

int latestSchemaVersion() {
    return static_cast<int>(std::size(Steps));
}

void applyMigrations(SqliteDatabase &db, int from, int to) {
    if (to < 0)
        to = latestSchemaVersion();
    for (int step = from; step < to; ++step)
        db.exec(Steps[step].sql);
    db.exec(("PRAGMA application_id = " + std::to_string(LogApplicationId) + ";" +
             "PRAGMA user_version = " + std::to_string(to))
                .c_str());
}

} // namespace measurelog
