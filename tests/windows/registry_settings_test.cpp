// The user's choices on Windows: the current user's registry, one key for
// the application and section, one text value per setting.
#include "app/settings_store.h"
#include "base/unique_handle_windows.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;

namespace {

constexpr const wchar_t* kSectionKey = L"Software\\Dravik\\Dravik\\Velmora";

// The value as the registry holds it, read without Qt: nullopt when missing
// or not a text value.
std::optional<QString> registryText(const QString& name) {
    const wchar_t* wideName = WideText(name);
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kSectionKey, wideName, RRF_RT_REG_SZ, nullptr, nullptr,
                       &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, kSectionKey, wideName, RRF_RT_REG_SZ, nullptr,
                       text.data(), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return QString::fromWCharArray(text.c_str());
}

struct ValueRow {
    const char* key;
    const char* value;
    const char* why;
};

class RegistryStore : public ::testing::TestWithParam<ValueRow> {};

TEST_P(RegistryStore, RoundTripsAsText) {
    const ValueRow& row = GetParam();
    const QString key = QString::fromUtf8(row.key);
    const QString value = QString::fromUtf8(row.value);
    test::RecordingPrompter prompter;
    {
        SettingsStore store(prompter);
        store.SaveSetting(key, value);
    }
    EXPECT_EQ(registryText(key), value) << row.why;
    SettingsStore later(prompter);
    EXPECT_EQ(later.GetSetting(key, QStringLiteral("default")), value) << row.why;
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistryStore,
    ::testing::Values(ValueRow{"JPGQuality", "75", "a number is kept as text"},
                      ValueRow{"Output Folder", "C:\\Users\\Zoë\\Bilder, neu\\",
                               "a folder with a comma, a space and a trailing backslash"},
                      ValueRow{"LastFolder", "", "an empty text stays empty"},
                      ValueRow{"Extension", "日本語", "beyond Latin-1"}));

TEST(RegistryStore, MissingKeyGivesTheDefaultAndTheLocationIsTheUsersHive) {
    test::RecordingPrompter prompter;
    SettingsStore store(prompter);
    EXPECT_EQ(store.GetSetting(QStringLiteral("NeverWritten"), QStringLiteral("ps")),
              QStringLiteral("ps"));
    EXPECT_TRUE(
        store.location().startsWith(QStringLiteral("\\HKEY_CURRENT_USER\\Software\\Dravik")))
        << qPrintable(store.location());
}

} // namespace
