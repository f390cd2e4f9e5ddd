#include "FakeSettingsStorage.h"

namespace brisora::test {

std::optional<QByteArray> FakeSettingsStorage::read(const QString& path) const
{
    if (unreadable.contains(path) || !files.contains(path))
        return std::nullopt;
    return files.value(path);
}

bool FakeSettingsStorage::writeAtomically(const QString& path, const QByteArray& bytes)
{
    ++writes;
    if (unwritable.contains(path))
        return false;
    files.insert(path, bytes);
    return true;
}

} // namespace brisora::test
