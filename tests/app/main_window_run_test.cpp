#include "app/file_list_controls.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "app/text_progress_bar.h"
#include "app/window_fixture.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

// A PostScript document of our own with the given number of pages.
QString writeDocument(const QString& path, int pages) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return {};
    }
    QByteArray text = "%!PS-Adobe-3.0\n%%Pages: " + QByteArray::number(pages) + "\n%%EndComments\n";
    for (int page = 1; page <= pages; ++page) {
        text += "%%Page: " + QByteArray::number(page) + " " + QByteArray::number(page) + "\n";
        text += "/Helvetica findfont 36 scalefont setfont\n";
        text += "72 700 moveto (Velmora test page " + QByteArray::number(page) + ") show\n";
        text += "newpath 72 72 moveto 540 72 lineto 306 600 lineto closepath 0.6 setgray fill\n";
        text += "showpage\n";
    }
    text += "%%EOF\n";
    file.write(text);
    return path;
}

// The page count a document announces ("%%Pages: n"); 1 when it does not.
int announcedPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 1;
    }
    static const QRegularExpression pages(QStringLiteral("^%%Pages:\\s*(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const auto match = pages.match(QString::fromLatin1(file.read(64 * 1024)));
    return match.hasMatch() ? match.captured(1).toInt() : 1;
}

// Processes whose working folder lies inside folder (a Ghostscript left
// running in a work folder would be one).
QStringList processesWorkingIn(const QString& folder) {
    QStringList found;
    const QString root = QFileInfo(folder).canonicalFilePath();
    QDirIterator procs(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (procs.hasNext()) {
        const QString pid = QFileInfo(procs.next()).fileName();
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget();
        if (!cwd.isEmpty() && cwd.startsWith(root)) {
            found.append(pid);
        }
    }
    return found;
}

class MainWindowRun : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }
    void TearDown() override {
        WindowFixture::TearDown();
        qputenv("TMPDIR", m_oldTmp);
    }

    // The private temporary folder the run's work folder goes into.
    QString tempFolder() const { return m_temp.path(); }
    bool tempIsEmpty() const {
        return QDir(tempFolder())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
            .isEmpty();
    }

    // The samples installed beside the program, or documents of our own when
    // none are installed yet.
    QStringList samples() {
        QStringList paths;
        const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/Samples"));
        for (const QString& name : installed.entryList(QDir::Files, QDir::Name)) {
            paths.append(installed.filePath(name));
        }
        if (paths.isEmpty()) {
            paths.append(writeDocument(m_own.filePath(QStringLiteral("velmora-two.ps")), 2));
            paths.append(writeDocument(m_own.filePath(QStringLiteral("velmora-one.ps")), 1));
        }
        return paths;
    }

    // A new folder for the test's own files, outside the private temporary
    // folder (which must hold nothing after a run).
    QString scratchFolder(const QString& name) {
        QDir(m_own.path()).mkpath(name);
        return m_own.filePath(name);
    }

    void setOutputFolder(const QString& folder) {
        control<QRadioButton>("Option1")->setChecked(true);
        control<QLineEdit>("Text1")->setText(folder);
    }

    // Clicks the start button; with `wait`, until the run it starts has
    // ended and the boxes it left have been shown.
    void clickStart(bool wait = true) {
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton);
        if (wait && window->run().isConverting()) {
            EXPECT_TRUE(finished.wait(300000));
        }
        QCoreApplication::processEvents();
    }

    // Calls action once, the first time it is called while a run is going on.
    void duringTheRun(std::function<void()> action) {
        auto* poll = new QTimer(window.get());
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action = std::move(action)] {
            if (window->run().isConverting()) {
                poll->stop();
                action();
            }
        });
        poll->start();
    }

private:
    QTemporaryDir m_temp;
    QTemporaryDir m_own;
    QByteArray m_oldTmp;
};

} // namespace

TEST_F(MainWindowRun, AnEmptyListIsReportedAndNothingIsPrepared) {
    MainWindow& form = open();
    clickStart();
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("No files added.")});
    if (!prompter.boxes.isEmpty()) {
        EXPECT_TRUE(prompter.boxes.front().title.isEmpty()) << "the application title";
        EXPECT_EQ(prompter.boxes.front().icon, Prompter::Icon::None);
        EXPECT_EQ(prompter.boxes.front().buttons, Prompter::Buttons::Ok);
    }
    EXPECT_TRUE(tempIsEmpty()) << "no work folder";
    EXPECT_EQ(form.windowPointer(), PointerState::Default);
    EXPECT_FALSE(form.run().isConverting());
}

TEST_F(MainWindowRun, AMissingOutputFolderIsReported) {
    MainWindow& form = open();
    form.fileList().append(samples().front());
    setOutputFolder(tempFolder() + QStringLiteral("/no such folder/"));
    clickStart();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("Folder does not exist. Please select another folder.")});
    EXPECT_TRUE(tempIsEmpty()) << "no work folder";
    EXPECT_EQ(form.fileList().count(), 1);
    EXPECT_EQ(form.windowPointer(), PointerState::Default);
}

TEST_F(MainWindowRun, SamplesBecomePagesAndDone) {
    const QDir output(scratchFolder(QStringLiteral("out")));
    MainWindow& form = open();
    const QStringList sources = samples();
    form.fileList().append(sources);
    setOutputFolder(output.path() + QStringLiteral("/"));
    control<QSlider>("Slider1")->setValue(90);

    bool clickedAgain = false;
    duringTheRun([&] {
        clickedAgain = true;
        clickStart(false); // a second click while converting changes nothing
    });
    clickStart();

    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("Done.")});
    for (const QString& source : sources) {
        const QString prefix = QFileInfo(source).fileName().section(QLatin1Char('.'), 0, 0);
        const int pages = announcedPages(source);
        for (int page = 1; page <= pages; ++page) {
            const QString jpeg = output.filePath(
                QStringLiteral("%1-%2.jpg").arg(prefix).arg(page, 3, 10, QLatin1Char('0')));
            ASSERT_TRUE(QFileInfo::exists(jpeg)) << jpeg.toStdString();
            QImageReader reader(jpeg);
            EXPECT_EQ(reader.format(), QByteArray("jpeg")) << jpeg.toStdString();
            EXPECT_GT(reader.size().width(), 2000) << "300 dpi pages";
        }
    }
    EXPECT_TRUE(QDir(output.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty())
        << "the intermediate PDFs are removed";
    EXPECT_TRUE(clickedAgain) << "the run yields to the event loop";
    EXPECT_TRUE(tempIsEmpty()) << "the work folder is removed";
    EXPECT_EQ(form.run().settings().tempFolder, tempFolder()) << "the base came from TMPDIR";
    EXPECT_EQ(form.windowPointer(), PointerState::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    auto* bar = control<TextProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->text(), QStringLiteral("Progress Bar"));
}

TEST_F(MainWindowRun, BesideTheSourceIgnoresTheFolderBox) {
    const QDir sources(scratchFolder(QStringLiteral("sources")));
    const QString source = writeDocument(sources.filePath(QStringLiteral("single.page.ps")), 1);
    MainWindow& form = open();
    form.fileList().append(source);
    control<QLineEdit>("Text1")->setText(QStringLiteral("not a folder"));
    control<QRadioButton>("Option2")->setChecked(true);
    clickStart();
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_TRUE(QFileInfo::exists(sources.filePath(QStringLiteral("single-001.jpg"))))
        << "named after the text before the first dot, beside the source";
    EXPECT_TRUE(tempIsEmpty());
}

TEST_F(MainWindowRun, ClosingMidRunEndsTheProgramAndLeavesNothingBehind) {
    const QDir output(scratchFolder(QStringLiteral("out")));
    MainWindow& form = open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QStringList sources = samples();
    for (int i = 0; i < 5; ++i) {
        form.fileList().append(sources); // long enough to be caught running
    }
    setOutputFolder(output.path() + QStringLiteral("/"));
    bool closedDuringRun = false;
    QElapsedTimer sinceClose;
    duringTheRun([&] {
        QTimer::singleShot(300, window.get(), [&] {
            closedDuringRun = window->run().isConverting();
            sinceClose.start();
            window->close();
        });
    });
    bool closedSignal = false;
    QObject::connect(&form, &MainWindow::closed, [&] { closedSignal = true; });
    QTimer safety; // a program that does not end fails here instead of hanging
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    safety.start(30000);

    // As in the program: the run is started from the event loop, and the
    // close comes while it lets window events run.
    QTimer::singleShot(0, &form, [this] { clickStart(false); });
    const int exitCode = QApplication::exec();

    EXPECT_EQ(exitCode, 0) << "closing the window ended the event loop";
    EXPECT_TRUE(closedDuringRun);
    EXPECT_TRUE(closedSignal);
    EXPECT_LT(sinceClose.elapsed(), 3000) << "the program ends soon after the close";
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.run().isConverting());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Give a stopped child a moment to go, then nothing may work in the
    // temporary folder and the work folder must be gone.
    QTest::qWait(200);
    EXPECT_EQ(processesWorkingIn(tempFolder()), QStringList());
    EXPECT_TRUE(tempIsEmpty());
    EXPECT_FALSE(prompter.messageTexts().contains(QStringLiteral("Done.")))
        << "a stopped run does not report success";
}

TEST_F(MainWindowRun, EscapeAsksAndStopsKeepingWhatWasDelivered) {
    const QDir sources(scratchFolder(QStringLiteral("sources")));
    const QString first = writeDocument(sources.filePath(QStringLiteral("first.ps")), 1);
    const QString endless = sources.filePath(QStringLiteral("endless.ps"));
    test::WriteFile(endless, "%!PS\n{} loop\n");
    const QString last = writeDocument(sources.filePath(QStringLiteral("last.ps")), 1);
    MainWindow& form = open();
    form.settings().write(setting::kJobs, QStringLiteral("1"));
    form.fileList().append({first, endless, last});
    control<QRadioButton>("Option2")->setChecked(true);

    QString barText;
    prompter.answers = {Prompter::Answer::Yes};
    auto* poll = new QTimer(window.get());
    QObject::connect(poll, &QTimer::timeout, poll, [&] {
        if (QFileInfo::exists(sources.filePath(QStringLiteral("first-001.jpg")))) {
            poll->stop();
            barText = control<TextProgressBar>("ProgressBar1")->text();
            QTest::keyClick(&form, Qt::Key_Escape);
        }
    });
    poll->start(20);
    clickStart();

    EXPECT_EQ(barText, QStringLiteral("Processing: endless.ps (Esc to stop)"));
    const QStringList texts = prompter.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Stop converting?"));
    EXPECT_EQ(texts[1], QStringLiteral("Stopped.\n%1: stopped\n%2: stopped").arg(endless, last));
    EXPECT_TRUE(QFileInfo::exists(sources.filePath(QStringLiteral("first-001.jpg"))));
    EXPECT_FALSE(QFileInfo::exists(sources.filePath(QStringLiteral("last-001.jpg"))));
    EXPECT_EQ(processesWorkingIn(tempFolder()), QStringList());
    EXPECT_TRUE(tempIsEmpty());
    EXPECT_FALSE(form.run().isConverting());
}

namespace {

// "Stop converting?" holds the run; a run that ends under it closes it, and
// its end box follows, once.
TEST_F(MainWindowRun, TheStopQuestionHoldsTheRun) {
    const QDir sources(scratchFolder(QStringLiteral("sources")));
    const QString noise = sources.filePath(QStringLiteral("noise.ps"));
    test::WriteFile(noise, QByteArray(4000, '\x7f'));
    const QString one = writeDocument(sources.filePath(QStringLiteral("one.ps")), 1);
    const QString two = writeDocument(sources.filePath(QStringLiteral("two.ps")), 1);
    const struct Row {
        QStringList rows;
        bool runEndsUnderIt; // else: the user answers No
        QString end;
        Prompter::Icon icon;
        QStringList pages;
        const char* why;
    } rows[] = {
        {{noise},
         true,
         QStringLiteral("Done.\n%1: not a PostScript or PDF file (Ghostscript").arg(noise),
         Prompter::Icon::Exclamation,
         {},
         "the only Ghostscript fails: the run ends while the question is open"},
        {{one, two},
         false,
         QStringLiteral("Done."),
         Prompter::Icon::None,
         {"one-001.jpg", "two-001.jpg"},
         "No: the run goes on to its end"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        prompter.boxes.clear();
        open().fileList().append(row.rows);
        window->settings().write(setting::kJobs, QStringLiteral("1"));
        control<QRadioButton>("Option2")->setChecked(true);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        bool endedUnderIt = false;
        prompter.whileOpen = [&](const test::RecordingPrompter::Box& box) {
            if (box.text == QStringLiteral("Stop converting?") && row.runEndsUnderIt) {
                endedUnderIt = finished.wait(60000);
            }
        };
        // Asked as soon as the first Ghostscript runs.
        QObject::connect(&window->run(), &ConversionRun::started, window.get(), [&] {
            QTimer::singleShot(0, window.get(),
                               [&] { QTest::keyClick(window.get(), Qt::Key_Escape); });
        });
        clickStart();
        const QStringList texts = prompter.messageTexts();
        ASSERT_EQ(texts.size(), 2) << qPrintable(texts.join(" | "));
        EXPECT_EQ(texts[0], QStringLiteral("Stop converting?"));
        EXPECT_TRUE(texts[1].startsWith(row.end)) << qPrintable(texts[1]);
        EXPECT_EQ(prompter.boxes[1].icon, row.icon);
        EXPECT_EQ(endedUnderIt, row.runEndsUnderIt);
        EXPECT_EQ(prompter.dismissals, row.runEndsUnderIt ? 1 : 0) << "closed by itself";
        EXPECT_EQ(QDir(sources).entryList({QStringLiteral("*.jpg")}, QDir::Files), row.pages);
        prompter.dismissals = 0;
        prompter.whileOpen = nullptr;
        window.reset();
    }
}

// A Start refused while "Add All" walks leaves the walk's hourglass, and the
// list stays guarded until the walk is over.
TEST_F(MainWindowRun, ARefusedStartLeavesTheWalksHourglass) {
    const QString tree = scratchFolder(QStringLiteral("tree/a/b/c/d/e"));
    test::WriteFile(tree + QStringLiteral("/deep.ps"), "%!PS\n");
    MainWindow& form = open();
    form.listControls().setYieldIntervalMs(0);
    prompter.textAnswers = {QStringLiteral("ps")};
    prompter.folderAnswers = {scratchFolder(QStringLiteral("tree"))};
    PointerState whenRefused = PointerState::Default;
    QObject::connect(&form.run(), &ConversionRun::finished, &form,
                     [&] { whenRefused = form.windowPointer(); });
    QTimer::singleShot(
        0, &form, [&] { QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton); });
    form.listControls().addFolder();
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("No files added.")});
    EXPECT_EQ(whenRefused, PointerState::Busy) << "the refusal left the walk's hourglass";
    EXPECT_EQ(form.fileList().count(), 1);
    EXPECT_EQ(form.windowPointer(), PointerState::Default) << "the walk's end takes it away";
}

} // namespace
