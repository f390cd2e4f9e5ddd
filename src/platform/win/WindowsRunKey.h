#pragma once
// Windows only.

#include "StartAtLogon.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace brisora {

/// Start at logon through the current user's Run key: the value "Brisora" under
/// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run. The current user's key
/// needs no administrator rights, so the write does not fail for an ordinary account.
class WindowsRunKey final : public StartAtLogon
{
public:
    static constexpr const wchar_t* kRunKeyPath =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kValueName = L"Brisora";

    bool SetEntry(const QString& executablePath) override;
    void DeleteEntry() override;

    /// The value's data for `executablePath`: the path with native separators, in double
    /// quotes when it holds a blank (unquoted, "C:\Program Files\…" could start C:\Program).
    static std::wstring runValueData(const QString& executablePath);

    /// Writes `text` as the value `name` of the existing key `keyPath` under `root`, keeping
    /// the type of a value already there when it is REG_SZ or REG_DWORD (a DWORD takes the
    /// number the text begins with, 0 when none) and writing REG_SZ otherwise. False when the
    /// key cannot be opened, an existing value cannot be read (longer than 1024 bytes), or the
    /// write fails.
    static bool SetRegistryValue(HKEY root, const std::wstring& keyPath, const std::wstring& name,
                                 const std::wstring& text);
    /// Removes the value `name` of `keyPath` under `root`; harmless when either is missing.
    static void DeleteRegistryValue(HKEY root, const std::wstring& keyPath,
                                    const std::wstring& name);
};

} // namespace brisora
