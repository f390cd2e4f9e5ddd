#pragma once

#include "PastHour.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

namespace brisora::gateway {

/// A source's forecast document for one set of coordinates, kept with what its cache headers
/// said, so that the source is asked again only when they allow and then only whether it
/// changed.
struct ForecastCopy
{
    QByteArray document;
    QByteArray lastModified;   // the header's text verbatim, for If-Modified-Since; may be empty
    QDateTime expires;         // not to be asked again before it; invalid: ask at once
    QDateTime checkedAt;       // when the source last sent or confirmed the document
    QList<PastHour> pastHours; // what earlier copies said of the hours before this one's start

    bool operator==(const ForecastCopy&) const = default;
};

} // namespace brisora::gateway
