#pragma once

#include "ZoneDatabase.h"

#include <QByteArray>
#include <QString>

namespace brisora::gateway::test {

/// The bytes of tests/gateway/data/`name`; fails the test when it cannot be read.
QByteArray testData(const QString& name);

/// Compares `actual` with tests/gateway/golden/`name` byte for byte. With the environment
/// variable BRISORA_UPDATE_GOLDEN=1 it writes the file instead (review the diff!).
void expectMatchesGolden(const QByteArray& actual, const QString& name);

/// The zones the gateway reads on this system.
const ZoneDatabase& systemZones();

} // namespace brisora::gateway::test
