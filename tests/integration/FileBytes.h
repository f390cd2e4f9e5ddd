#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <sys/stat.h>

namespace brisora::test {

/// The file's bytes; empty when it cannot be read.
inline std::string readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

/// Replaces the file's content in place; false on any failure.
inline bool writeBytes(const QString& path, const std::string& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

/// The file's inode: a new one means the file was replaced, not rewritten in place.
inline ino_t inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace brisora::test
