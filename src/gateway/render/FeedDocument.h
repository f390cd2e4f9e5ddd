#pragma once

#include "Forecast.h"
#include "Place.h"
#include "ZoneDatabase.h"

#include <QByteArray>
#include <QString>

namespace brisora::gateway {

/// Fixed text in front of the place in the channel title; the widget skips its 17 characters.
inline constexpr char feedTitlePrefix[] = "Brisora Weather: ";
static_assert(sizeof(feedTitlePrefix) - 1 == 17);

/// A feed document alone is always longer than this, since the widget takes a reply of
/// 2000 bytes or fewer for one still arriving.
inline constexpr qsizetype minimumFeedBytes = 2100;

/// "Lakeside, Minnesota", or "Lakeside, US" when the place has no region (or the region is
/// the place itself), or just the name when neither is known or the place is OpenStreetMap's
/// (whose name already ends in its town); " (demo)" is added for demo data.
QString feedPlaceTitle(const Place& place, bool isDemo);

/// The weather feed document for `place` in the old feed's exact layout, element order and
/// attribute spacing (LF line ends), with `forecast`'s values in `units` (whole degrees).
/// Dates are shown in the place's zone: the place's own zone when `zones` has it, else the
/// forecast's, else the forecast's UTC offset.
QByteArray renderFeedDocument(const Place& place, const Forecast& forecast, Units units,
                              const ZoneDatabase& zones);

/// The old feed's short error document for an id it does not know ("City not found"),
/// naming the request as `/forecastrss?w=ID` with `&u=c` for metric units.
QByteArray renderCityNotFoundDocument(const QString& placeIdText, Units units);

} // namespace brisora::gateway
