#pragma once

#include "base/located_trap.h"
#include "convert/conversion_settings.h"
#include "convert/run_context.h"
#include "convert/run_request.h"
#include "convert/run_summary.h"

#include <QObject>

#include <memory>
#include <optional>

class QTemporaryDir;

namespace velmora {

class ConversionPool;
class ConversionPort;
class Sandbox;
class WorkFolderLock;

// The conversion run behind the start button. start() checks that there is
// something to convert and somewhere to put it, prepares a private work
// folder with our scripts, and converts every source of the request through
// the two Ghostscript stages, several at once; finished(summary) says how it
// ended, exactly once per started run. Everything runs on the UI thread,
// driven by events: stopping or closing is an ordinary event too.
class ConversionRun : public QObject {
    Q_OBJECT
public:
    ConversionRun(ConversionPort& port, ConversionSettings settings, QObject* parent = nullptr);
    ~ConversionRun() override;

    // Starts a run in the next round of events; false (and nothing else)
    // while a run goes on.
    bool start(RunRequest request);
    bool isConverting() const { return m_stage != Stage::Idle; }

    // The user's stop: every Ghostscript stops, delivered pages stay, and
    // the run ends with "Stopped." and a line for each file not converted
    // fully.
    void stop();
    // The quiet stop, when the window closes or the program is told to end.
    void cancel();
    // While the user is asked whether to stop, no Ghostscript starts; the
    // running ones go on. Until the next start.
    void hold(bool held);

    ConversionSettings& settings() { return m_settings; }
    // The space of the disk holding a path; tests put in their own.
    void setDiskSpace(DiskSpaceOf diskSpace) { m_diskSpace = std::move(diskSpace); }

signals:
    // The run got past its checks and begins converting.
    void started();
    void finished(const velmora::RunSummary& summary);

private:
    void begin();
    // Past the checks, once the sandbox is known: converts.
    void convert();
    void halt(RunSummary::Status why);
    LocatedTrap<report_location::StartConverting> startTrap();
    bool prepareWorkFolder(int quality);
    void poolFinished();
    void end(RunSummary::Status status);

    ConversionPort& m_port;
    ConversionSettings m_settings;
    DiskSpaceOf m_diskSpace;
    RunRequest m_request;
    RunSummary m_summary;
    enum class Stage {
        Idle,
        Checking,          // started: begin() comes in the next round of events
        WaitingForSandbox, // past the checks, until the sandbox's probe answers
        Converting,        // the pool is at work
    };
    Stage m_stage = Stage::Idle;
    // How a stop or cancel asked for ends the run (StoppedByUser, Cancelled).
    std::optional<RunSummary::Status> m_halt;
    bool m_held = false;
    QString m_ghostscript;               // the program found
    QMetaObject::Connection m_probeWait; // while waiting for the sandbox's probe
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<WorkFolderLock> m_lock; // on m_work, while the run lives
    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<RunContext> m_context;
    std::unique_ptr<ConversionPool> m_pool;
};

} // namespace velmora
