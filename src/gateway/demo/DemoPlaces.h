#pragma once

#include "Place.h"

#include <QList>
#include <QString>
#include <optional>

namespace brisora::gateway {

/// The demo source's built-in world places, numbered from 1, with demo place ids.
QList<Place> demoPlaces();

/// The demo place with demo index `index`, or nullopt.
std::optional<Place> demoPlace(qint64 index);

/// Demo places whose name, region or country contains `words` (ignoring case), those whose
/// name starts with the words first. Empty words find nothing.
QList<Place> searchDemoPlaces(const QString& words);

} // namespace brisora::gateway
