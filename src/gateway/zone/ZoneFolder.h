#pragma once

#include "ZoneSource.h"

#include <QString>
#include <memory>

namespace brisora::gateway {

/// Zone files below a folder: a folder on disk, or a Qt resource path (":/zoneinfo").
class ZoneFolder : public ZoneSource
{
public:
    explicit ZoneFolder(QString root) : m_root(std::move(root)) {}

    /// The zone files this system's build reads: the system's own where it has them, else the
    /// copy compiled into the program.
    static std::unique_ptr<ZoneSource> system();

    std::optional<std::string> zoneFile(std::string_view name) const override;

private:
    QString m_root;
};

} // namespace brisora::gateway
