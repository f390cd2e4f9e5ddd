#pragma once

#include <QDateTime>
#include <QString>

namespace brisora::gateway {

/// One step of a forecast series whose time has gone by, as the last copy that still held it
/// said: kept so that a day's high, low and look take in the hours a newer copy (which starts
/// at the current hour) no longer has.
struct PastHour
{
    QDateTime time;         // the step's start, UTC
    double temperature = 0; // degrees Celsius
    QString symbol;         // the symbol of the six hours from then, may be empty

    bool operator==(const PastHour&) const = default;
};

} // namespace brisora::gateway
