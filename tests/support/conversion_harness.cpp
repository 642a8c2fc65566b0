#include "support/conversion_harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace velmora::test {

namespace {

// A run that hangs fails here, with its test's name, rather than at ctest's limit.
constexpr int kRunTimeoutMs = 300000;

} // namespace

ConversionHarness::ConversionHarness() {
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.tempFolder = temp.path();
    m_run = std::make_unique<ConversionRun>(*this, settings);
}

ConversionHarness::~ConversionHarness() {
    for (auto undo = atEnd.rbegin(); undo != atEnd.rend(); ++undo) {
        (*undo)();
    }
}

RunSummary ConversionHarness::run() {
    m_run->settings() = settings;
    QSignalSpy finished(m_run.get(), &ConversionRun::finished);
    if (!m_run->start(request) || !finished.wait(kRunTimeoutMs)) {
        return {};
    }
    return finished.front().front().value<RunSummary>();
}

QStringList ConversionHarness::leftInTemp() const {
    return QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

int ConversionHarness::childrenLeft() const {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QString cwd = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid));
        count += cwd.startsWith(temp.path()) ? 1 : 0;
    }
    return count;
}

} // namespace velmora::test
