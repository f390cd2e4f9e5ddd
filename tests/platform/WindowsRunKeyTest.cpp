// The Run value's writer against the real registry, in a scratch key of its own under
// HKEY_CURRENT_USER (under Wine: the test prefix's registry).
#include "win/WindowsRunKey.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brisora;

namespace {

class WindowsRunKeyRegistry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        keyPath = L"Software\\Brisora test " + std::to_wstring(QCoreApplication::applicationPid());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
    }

    /// The value's type and bytes as stored, or type REG_NONE when there is none.
    std::pair<DWORD, std::vector<BYTE>> stored(const std::wstring& name) const
    {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return {REG_NONE, {}};
        std::vector<BYTE> bytes(size);
        RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        return {type, bytes};
    }

    static std::vector<BYTE> stringBytes(const std::wstring& text)
    {
        const auto* begin = reinterpret_cast<const BYTE*>(text.c_str());
        return {begin, begin + (text.size() + 1) * sizeof(wchar_t)};
    }

    std::wstring keyPath;
    HKEY key = nullptr;
};

} // namespace

TEST_F(WindowsRunKeyRegistry, WritesAStringWithItsTerminatorAndKeepsADwordADword)
{
    const std::wstring path =
        WindowsRunKey::runValueData(QStringLiteral("C:/Program Files/Brisora/brisora.exe"));
    EXPECT_EQ(path, L"\"C:\\Program Files\\Brisora\\brisora.exe\"");
    EXPECT_EQ(WindowsRunKey::runValueData(QStringLiteral("C:/Apps/brisora.exe")),
              L"C:\\Apps\\brisora.exe");

    ASSERT_TRUE(WindowsRunKey::SetRegistryValue(HKEY_CURRENT_USER, keyPath, L"Brisora", path));
    EXPECT_EQ(stored(L"Brisora"), std::make_pair(DWORD{REG_SZ}, stringBytes(path)));

    const DWORD number = 5;
    RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    ASSERT_TRUE(WindowsRunKey::SetRegistryValue(HKEY_CURRENT_USER, keyPath, L"Count", L" 42x"));
    EXPECT_EQ(stored(L"Count"), std::make_pair(DWORD{REG_DWORD}, std::vector<BYTE>{42, 0, 0, 0}));

    const BYTE binary[] = {1, 2, 3};
    RegSetValueExW(key, L"Blob", 0, REG_BINARY, binary, sizeof binary);
    ASSERT_TRUE(WindowsRunKey::SetRegistryValue(HKEY_CURRENT_USER, keyPath, L"Blob", L"text"));
    EXPECT_EQ(stored(L"Blob"), std::make_pair(DWORD{REG_SZ}, stringBytes(L"text")));
}

TEST_F(WindowsRunKeyRegistry, DeletesHarmlesslyAndFailsOnAMissingKey)
{
    ASSERT_TRUE(WindowsRunKey::SetRegistryValue(HKEY_CURRENT_USER, keyPath, L"Brisora", L"x"));
    WindowsRunKey::DeleteRegistryValue(HKEY_CURRENT_USER, keyPath, L"Brisora");
    EXPECT_EQ(stored(L"Brisora").first, DWORD{REG_NONE});
    WindowsRunKey::DeleteRegistryValue(HKEY_CURRENT_USER, keyPath, L"Brisora");
    WindowsRunKey::DeleteRegistryValue(HKEY_CURRENT_USER, keyPath + L"\\missing", L"Brisora");

    EXPECT_FALSE(WindowsRunKey::SetRegistryValue(HKEY_CURRENT_USER, keyPath + L"\\missing",
                                                 L"Brisora", L"x"))
        << "the key is opened, never created";
}
