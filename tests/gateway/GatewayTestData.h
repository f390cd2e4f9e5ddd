#pragma once

#include "ZoneDatabase.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace brisora::gateway::test {

/// The bytes of tests/gateway/data/`name`; fails the test when it cannot be read.
QByteArray testData(const QString& name);

/// The bytes of tests/gateway/golden/`name`; fails the test when it cannot be read.
QByteArray goldenFile(const QString& name);

/// Compares `actual` with tests/gateway/golden/`name` byte for byte. With the environment
/// variable BRISORA_UPDATE_GOLDEN=1 it writes the file instead (review the diff!).
void expectMatchesGolden(const QByteArray& actual, const QString& name);

/// `json` with every UTC time in it ("2026-06-26T13:00:00Z") moved by the same whole number of
/// hours, so that its first "time" is the current hour: a recorded forecast that starts now.
QByteArray movedToThisHour(const QByteArray& json);

/// The zones the gateway reads on this system.
const ZoneDatabase& systemZones();

/// Seconds since 1970 of that UTC date and time (or of that wall-clock time, read off a
/// zone's clocks).
std::int64_t utcSeconds(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                        int second = 0);

} // namespace brisora::gateway::test
