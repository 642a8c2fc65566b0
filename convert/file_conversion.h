#pragma once

#include "convert/file_outcome.h"
#include "convert/file_runner.h"
#include "convert/ghostscript_result.h"
#include "convert/page_ranges.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

namespace velmora {

class GhostscriptJob;
struct RunContext;

// One source's way through the two Ghostscript stages, with real files and
// Ghostscripts:
//
//   intake ─► PDF stage ─► page ranges ─► delivered
//      └─────────┴─────────────┴──────────► ended without pages
//
// start() takes the source in (a copy the program makes) and starts the
// PostScript stage; the pool then starts the page ranges the plan chose,
// and deliver() places the pages that are whole pages of the document as
// the plan's results of its Ghostscripts allow. Which stage the file is at
// is the plan's to know: this carries steps out and tells what its
// Ghostscripts came to. Each Ghostscript runs in an empty folder of its
// own. Nothing here talks to the user: failed steps go to the run's port as
// problems, and the outcome says what became of the file.
class FileConversion : public QObject, public FileRunner {
    Q_OBJECT
public:
    FileConversion(const RunContext& run, int row, const QString& source, FileEvents& events,
                   QObject* parent = nullptr);
    ~FileConversion() override;

    bool start() override;
    void startRange(int index, PageRange pages) override;
    void deliver(const RowResults& results) override;
    void stop(GhostscriptEnding ending) override;
    bool isRunning() const override;
    double progress() const override;
    const FileOutcome& outcome() const override { return m_outcome; }

private:
    std::unique_ptr<GhostscriptJob> launch(const QString& script, const QString& folder,
                                           qint64 writeLimit);
    bool prepareRange(const QString& folder, PageRange pages);
    void placePages(const QStringList& images);
    void stopJobs(GhostscriptEnding ending);
    void jobEnded();

    const RunContext& m_run;
    int m_row;
    FileEvents& m_events;
    FileOutcome m_outcome;
    QElapsedTimer m_clock;
    QTimer m_timeLimit;
    QString m_pdfFolder;
    std::unique_ptr<GhostscriptJob> m_pdfJob;
    std::vector<std::unique_ptr<GhostscriptJob>> m_rangeJobs; // by range; none for one not started
    std::optional<GhostscriptEnding> m_stoppedAs;
    bool m_beginsLikeADocument = true; // a failure then names what the file is not
};

} // namespace velmora
