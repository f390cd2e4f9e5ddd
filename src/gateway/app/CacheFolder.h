#pragma once

#include <QString>

namespace brisora::gateway {

/// The folder the gateway keeps its places and last good feeds in unless told another: the
/// user's cache folder for the program on Linux (~/.cache/brisora-gateway), and
/// %LOCALAPPDATA%\Brisora\gateway on Windows, beside the widget's own files. Called once the
/// application's name is set.
QString defaultCacheFolder();

} // namespace brisora::gateway
