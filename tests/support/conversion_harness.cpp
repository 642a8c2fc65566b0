#include "support/conversion_harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

namespace velmora::test {

namespace {

constexpr int kRunTimeoutMs = 300000;

} // namespace

ConversionHarness::ConversionHarness() {
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.tempFolder = temp.path();
    m_run = std::make_unique<ConversionRun>(*this, settings);
}

void ConversionHarness::progressed(const RunProgress& progress) {
    progressValues.append(progress.percent);
    if (onProgress) {
        onProgress();
    }
    const QString& source = progress.source;
    if (!source.isEmpty() && (progressSources.isEmpty() || progressSources.back() != source)) {
        progressSources.append(source);
    }
}

void ConversionHarness::fileEnded(const FileOutcome& outcome) {
    ended.append(outcome);
    if (onFileEnded) {
        onFileEnded(outcome);
    }
}

void ConversionHarness::problem(const Problem& problem) {
    problems.append(problem);
    if (onProblem) {
        onProblem(problem);
    }
}

RunSummary ConversionHarness::run() {
    m_run->settings() = settings;
    QSignalSpy finished(m_run.get(), &ConversionRun::finished);
    if (!m_run->start({sources, output, outputFolder, quality})) {
        return {};
    }
    if (finished.isEmpty() && !finished.wait(kRunTimeoutMs)) {
        return {};
    }
    return finished.front().front().value<RunSummary>();
}

QStringList ConversionHarness::leftInTemp() const {
    return QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

int ConversionHarness::childrenLeft() const {
    int count = 0;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget();
        if (!cwd.isEmpty() && cwd.startsWith(temp.path())) {
            ++count;
        }
    }
    return count;
}

} // namespace velmora::test
