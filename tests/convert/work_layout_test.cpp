#include "convert/work_layout.h"
#include "support/qstring_printer.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

using namespace velmora;

TEST(WorkLayout, TempFolderComesFromTheEnvironmentTidied) {
    const bool had = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray old = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] { had ? qputenv("TMPDIR", old) : qunsetenv("TMPDIR"); });
    const struct {
        QByteArray tmpdir;
        const char* base;
        const char* reason;
    } rows[] = {
        {"/var/tmp", "/var/tmp", "taken as it is"},
        {"/var/tmp/", "/var/tmp", "a trailing separator is dropped"},
        {"/var//tmp//", "/var/tmp", "doubled separators collapse"},
        {"/", "/", "the root keeps its separator"},
        {QByteArray(), "", "not set: the engine uses the system's temporary folder"},
        {"", "", "empty: the same"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        row.tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", row.tmpdir);
        EXPECT_EQ(WorkLayout::tempFolderFromEnvironment(), QString::fromUtf8(row.base));
    }
}
