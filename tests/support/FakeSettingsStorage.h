#pragma once

#include "SettingsStorage.h"

#include <QMap>
#include <QSet>

namespace brisora::test {

/// Settings files in memory; paths can be made unreadable or unwritable, like a failing disk.
class FakeSettingsStorage final : public SettingsStorage
{
public:
    QString settingsPath() const override
    {
        return QStringLiteral("/home/user/.config/brisora/brisora.conf");
    }
    std::optional<QByteArray> read(const QString& path) const override;
    bool writeAtomically(const QString& path, const QByteArray& bytes) override;

    QMap<QString, QByteArray> files;
    QSet<QString> unreadable;
    QSet<QString> unwritable;
    int writes = 0;
};

} // namespace brisora::test
