#include "WindowsRunKey.h"

#include <QDir>

#include <cstdint>
#include <vector>

namespace brisora {

namespace {

constexpr DWORD kQueryBufferBytes = 1024;

/// The number a text begins with, after leading blanks and an optional sign; 0 when none.
/// Wraps modulo 2^32 like a registry DWORD.
std::uint32_t leadingNumber(const std::wstring& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - L'0');
    return negative ? 0u - value : value;
}

} // namespace

std::wstring WindowsRunKey::runValueData(const QString& executablePath)
{
    QString path = QDir::toNativeSeparators(executablePath);
    if (path.contains(u' '))
        path = u'"' + path + u'"';
    return path.toStdWString();
}

bool WindowsRunKey::SetEntry(const QString& executablePath)
{
    return SetRegistryValue(HKEY_CURRENT_USER, kRunKeyPath, kValueName,
                            runValueData(executablePath));
}

void WindowsRunKey::DeleteEntry()
{
    DeleteRegistryValue(HKEY_CURRENT_USER, kRunKeyPath, kValueName);
}

bool WindowsRunKey::SetRegistryValue(HKEY root, const std::wstring& keyPath,
                                     const std::wstring& name, const std::wstring& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false; // nothing was opened, so there is nothing to close

    std::vector<BYTE> existing(kQueryBufferBytes);
    DWORD existingSize = kQueryBufferBytes;
    DWORD type = REG_SZ;
    const LONG query =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, existing.data(), &existingSize);
    if (query == ERROR_FILE_NOT_FOUND) {
        type = REG_SZ;
    } else if (query != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }

    LONG written = ERROR_INVALID_DATA;
    if (type == REG_DWORD) {
        const std::uint32_t number = leadingNumber(text);
        const BYTE bytes[4] = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
                               static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
        written = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, bytes, sizeof bytes);
    } else {
        // A string value counts its terminating zero; readers that trust the stored size
        // would otherwise run past the end. Other types are replaced by a plain string.
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        written = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    }
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

void WindowsRunKey::DeleteRegistryValue(HKEY root, const std::wstring& keyPath,
                                        const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
}

} // namespace brisora
