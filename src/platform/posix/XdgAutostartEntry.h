#pragma once

#include "StartAtLogon.h"

namespace brisora {

/// Start at logon on desktops that follow the XDG autostart rules: the file
/// "brisora.desktop" in the user's autostart folder. Its name, comment and icon are those of
/// the installed desktop entry (org.brisora.Brisora.desktop), so the session shows the two as
/// one program.
class XdgAutostartEntry final : public StartAtLogon
{
public:
    /// `autostartDirectory` is where the entry goes; by default the user's own.
    explicit XdgAutostartEntry(QString autostartDirectory = defaultAutostartDirectory());

    /// "$XDG_CONFIG_HOME/autostart", or "~/.config/autostart" when that variable is unset,
    /// empty or not an absolute path (relative values are to be ignored).
    static QString defaultAutostartDirectory();

    /// The Exec value that runs `executablePath` with no arguments: always double-quoted,
    /// with the characters that quoting and the key-file format reserve escaped.
    static QString execValue(const QString& executablePath);

    /// Writes the entry atomically, creating the folder when needed; false when the path is
    /// not absolute or the file could not be written (an earlier entry is then left as it was).
    bool SetEntry(const QString& executablePath) override;
    /// Removes the entry; harmless when there is none.
    void DeleteEntry() override;

    QString entryPath() const;

private:
    QString directory_;
};

} // namespace brisora
