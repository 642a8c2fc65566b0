#include "support/conversion_harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velmora::test {

ConversionHarness::ConversionHarness() {
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.tempFolder = temp.path();
    m_run = std::make_unique<ConversionRun>(ConversionWiring{prompter, events, *this, *this, *this,
                                                             sources, [this] { return quality; }},
                                            settings);
}

OutputTarget::Choice ConversionHarness::choice() const {
    if (onOutputRead) {
        onOutputRead();
    }
    return outputChoice;
}

RunSummary ConversionHarness::run() {
    m_run->settings() = settings;
    return m_run->PushButton2_Click();
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
