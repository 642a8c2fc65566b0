#include "app/text_progress_bar.h"
#include "app/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

#include <optional>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

class MainWindowControls : public WindowFixture {
protected:
    MainWindow& shown() {
        MainWindow& form = open();
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return form;
    }

    // Moves the pointer onto a control (its middle unless a spot is given),
    // as the user would.
    void hover(const char* name, std::optional<QPoint> spot = std::nullopt) {
        QWidget* widget = control<QWidget>(name);
        QTest::mouseMove(widget, spot.value_or(widget->rect().center()));
        QApplication::processEvents();
    }
};

// An image that keeps the texts painted on it: what the user reads.
class PaintedTexts final : public QImage {
public:
    explicit PaintedTexts(QSize size) : QImage(size, QImage::Format_ARGB32) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QStringList& texts() const { return m_engine.texts; }

private:
    struct Engine final : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            texts.append(item.text());
        }
        Type type() const override { return User; }
        QStringList texts;
    };
    mutable Engine m_engine;
};

} // namespace

TEST_F(MainWindowControls, LongRowsLoseTheirMiddleAndShowTheirWholePathOnHover) {
    MainWindow& form = shown();
    auto* list = control<QTreeView>("ListView1");
    const int columnWidth = list->columnWidth(0);
    // Four samples loaded from a deep build folder once all read the same.
    const QString deep = QStringLiteral("/tmp/velmora-build-3f9c2a7d/worktrees/issue-twelve/"
                                        "RelWithDebInfo/build/Samples/");
    const struct {
        QString path;
        bool shortened;
        const char* why;
    } rows[] = {
        {deep + QStringLiteral("brochure.ps"), true, "a deep path keeps its file name"},
        {deep + QStringLiteral("colours.ps"), true, "so rows of one folder stay apart"},
        {deep + QStringLiteral("drawing.eps"), true, "whatever the extension"},
        {QStringLiteral("/home/ann/a.ps"), false, "a path that fits is shown whole"},
    };
    for (const auto& row : rows) {
        form.fileList().append(row.path);
    }
    QApplication::processEvents();

    PaintedTexts painted(list->viewport()->size());
    list->viewport()->render(&painted);
    ASSERT_EQ(painted.texts().size(), std::size(rows)) << qPrintable(painted.texts().join('\n'));
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.why);
        const QString shown = painted.texts().at(i);
        const QString name = QFileInfo(row.path).fileName();
        EXPECT_EQ(shown != row.path, row.shortened) << qPrintable(shown);
        EXPECT_TRUE(shown.endsWith(name)) << qPrintable(shown);
        EXPECT_TRUE(shown.startsWith(row.path.left(row.path.indexOf('/', 1)))) << qPrintable(shown);
        EXPECT_EQ(painted.texts().count(shown), 1) << "no two rows read the same";
        EXPECT_EQ(form.fileList().text(i + 1), row.path) << "the run reads the whole path";

        const QRect rect = list->visualRect(form.fileList().index(i));
        QHelpEvent hover(QEvent::ToolTip, rect.center(),
                         list->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(list->viewport(), &hover);
        EXPECT_EQ(QToolTip::text(), row.path);
    }
    EXPECT_EQ(list->columnWidth(0), columnWidth) << "the column keeps its width";

    // Below the rows the list's own hint shows as before.
    const QPoint empty(10, list->viewport()->height() - 3);
    QHelpEvent hover(QEvent::ToolTip, empty, list->viewport()->mapToGlobal(empty));
    QApplication::sendEvent(list->viewport(), &hover);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Drag and drop files here.")))
        << qPrintable(QToolTip::text());
}

TEST_F(MainWindowControls, LayoutOfTheDesign) {
    MainWindow& form = open();
    EXPECT_EQ(form.size(), QSize(536, 504)) << "8040 x 7560 twips";
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the user cannot resize it";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    // Positions in pixels (twips / 15) inside the named container.
    const struct {
        const char* name;
        const char* container;
        QRect geometry;
    } rows[] = {
        {"ListView1", "Form1", {8, 8, 520, 169}},
        {"PushButton1", "Form1", {8, 183, 256, 27}},
        {"PushButton4", "Form1", {272, 183, 256, 27}},
        {"PushButton9", "Form1", {8, 217, 256, 27}},
        {"PushButton10", "Form1", {272, 217, 256, 27}},
        {"Frame1", "Form1", {8, 248, 520, 121}},
        {"Option1", "Frame1", {16, 20, 241, 17}},
        {"Frame4", "Frame1", {32, 34, 456, 54}},
        {"Text1", "Frame4", {16, 20, 378, 23}},
        {"PushButton7", "Frame4", {400, 20, 40, 23}},
        {"Option2", "Frame1", {16, 94, 241, 17}},
        {"Frame3", "Form1", {8, 373, 520, 55}},
        {"Label2", "Frame3", {10, 24, 25, 13}},
        {"Slider1", "Frame3", {36, 20, 437, 21}},
        {"Label3", "Frame3", {478, 23, 27, 15}},
        {"PushButton2", "Form1", {8, 436, 520, 27}},
        {"ProgressBar1", "Form1", {8, 470, 520, 27}},
    };
    for (const auto& row : rows) {
        QWidget* widget = control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(row.container))
            << row.name;
        EXPECT_EQ(widget->geometry(), row.geometry) << row.name;
    }

    auto* slider = control<QSlider>("Slider1");
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    auto* bar = control<TextProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_TRUE(bar->isTextVisible());
    EXPECT_TRUE(control<QGroupBox>("Frame4")->title().isEmpty());
    EXPECT_EQ(control<QTreeView>("ListView1")->toolTip(),
              QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | "
                             "line to right and out of window to reveal full names."));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(MainWindowControls, CaptionsAndFontsFitAsDesigned) {
    open();
    const struct {
        const char* name;
        const char* caption;
        double points;
    } buttons[] = {
        {"PushButton1", "Add PS File(s)", 11.25},
        {"PushButton4", "Add All PS File(s) In Folder", 11.25},
        {"PushButton2", "Start Converting To JPG", 11.25},
        {"PushButton9", "Clear List", 11.25},
        {"PushButton10", "Load Sample/Example Files", 11.25},
        {"PushButton7", "...", 11.25},
        {"Option1", "Save results to this folder:", 9},
        {"Option2", "Save results in folder of original file", 9},
    };
    for (const auto& row : buttons) {
        auto* button = control<QAbstractButton>(row.name);
        EXPECT_EQ(button->text(), QString::fromLatin1(row.caption));
        const QFontInfo font(button->font());
        EXPECT_TRUE(font.family() == QLatin1String("Arial") ||
                    font.family() == QLatin1String("Liberation Sans"))
            << row.name << " in " << font.family().toStdString();
        EXPECT_TRUE(font.bold()) << row.name;
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), row.points) << row.name;
        int room = button->width();
        if (qobject_cast<QRadioButton*>(button) != nullptr) {
            room -= button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                    button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        }
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), room)
            << row.name << " is cut off";
    }
    for (const char* name : {"Label2", "Label3"}) {
        auto* label = control<QLabel>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
}

TEST_F(MainWindowControls, TabOrderFollowsTheDesign) {
    MainWindow& form = open();
    const QStringList expected = {"ListView1",   "PushButton1",  "PushButton4", "PushButton2",
                                  "PushButton9", "PushButton10", "Slider1",     "Text1",
                                  "PushButton7", "Option1",      "Option2"};
    QWidget* widget = control<QWidget>("ListView1");
    QStringList order;
    for (int i = 0; i < expected.size(); ++i) {
        order.append(widget->objectName());
        do {
            widget = widget->nextInFocusChain();
        } while (widget != &form && widget->focusPolicy() == Qt::NoFocus);
        // Widgets inside the list (its header) are not stops of their own.
        while (widget->parentWidget() != nullptr &&
               widget->parentWidget()->objectName() == QLatin1String("ListView1")) {
            widget = widget->nextInFocusChain();
        }
    }
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowControls, OptionClicksWriteBothKeysAndSwitchTheFolderRow) {
    MainWindow& form = shown();
    auto* intoFolder = control<QRadioButton>("Option1");
    auto* besideSource = control<QRadioButton>("Option2");
    auto* folderRow = control<QGroupBox>("Frame4");
    EXPECT_EQ(form.runControl().outputChoice(), OutputChoice::Folder);

    QTest::mouseClick(besideSource, Qt::LeftButton);
    EXPECT_TRUE(besideSource->isChecked());
    EXPECT_FALSE(folderRow->isEnabled());
    EXPECT_FALSE(control<QLineEdit>("Text1")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("PushButton7")->isEnabled());
    EXPECT_EQ(onDisk(QStringLiteral("Option1")), QStringLiteral("False"));
    EXPECT_EQ(onDisk(QStringLiteral("Option2")), QStringLiteral("True"));
    EXPECT_EQ(form.runControl().outputChoice(), OutputChoice::BesideSource);

    QTest::mouseClick(intoFolder, Qt::LeftButton);
    EXPECT_TRUE(folderRow->isEnabled());
    EXPECT_EQ(onDisk(QStringLiteral("Option1")), QStringLiteral("True"));
    EXPECT_EQ(onDisk(QStringLiteral("Option2")), QStringLiteral("False"));
    EXPECT_EQ(form.runControl().outputChoice(), OutputChoice::Folder);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(MainWindowControls, NeitherOptionStoredMeansNoOutput) {
    storeBefore(QStringLiteral("Option1"), QStringLiteral("False"));
    storeBefore(QStringLiteral("Option2"), QStringLiteral("False"));
    EXPECT_EQ(open().runControl().outputChoice(), OutputChoice::None);
}

TEST_F(MainWindowControls, TypingInTheFolderBoxIsStoredAtEveryKeystroke) {
    shown();
    auto* folderEdit = control<QLineEdit>("Text1");
    folderEdit->setFocus();
    folderEdit->selectAll();
    QTest::keyClick(folderEdit, Qt::Key_Backspace);
    EXPECT_EQ(onDisk(QStringLiteral("Output Folder")), QString()) << "an empty box is stored too";
    QString typed;
    for (const QChar c : QStringLiteral("/out/")) {
        QTest::keyClick(folderEdit, c.toLatin1());
        typed += c;
        EXPECT_EQ(onDisk(QStringLiteral("Output Folder")), typed);
    }
    EXPECT_EQ(folderEdit->text(), QStringLiteral("/out/"));
}

TEST_F(MainWindowControls, SliderUpdatesCaptionAndStore) {
    shown();
    auto* slider = control<QSlider>("Slider1");
    auto* qualityFrame = control<QGroupBox>("Frame3");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(qualityFrame->title(), QStringLiteral("JPG Quality = 76"));
    EXPECT_EQ(onDisk(QStringLiteral("JPGQuality")), QStringLiteral("76"));
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(qualityFrame->title(), QStringLiteral("JPG Quality = 100"));
    EXPECT_EQ(onDisk(QStringLiteral("JPGQuality")), QStringLiteral("100"));
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(qualityFrame->title(), QStringLiteral("JPG Quality = 0"));
    EXPECT_EQ(onDisk(QStringLiteral("JPGQuality")), QStringLiteral("0"));
}

TEST_F(MainWindowControls, ASandboxNoticeIsShownOnceEver) {
    // Runs that end quietly, so the notice is the only box.
    RunSummary sandboxed;
    sandboxed.status = RunSummary::Status::Cancelled;
    RunSummary unsandboxed = sandboxed;
    unsandboxed.sandboxed = false;
    open();
    prompter.boxes.clear();
    window->runControl().afterRun(sandboxed);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "nothing to tell when the sandbox held";
    window->runControl().afterRun(unsandboxed);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front().text, RunControl::sandboxNoticeText());
    EXPECT_EQ(prompter.boxes.front().icon, Prompter::Icon::Information);
    EXPECT_EQ(onDisk(QStringLiteral("SandboxNoticeShown")), QStringLiteral("True"));
    window->runControl().afterRun(unsandboxed);
    TearDown();
    open();
    window->runControl().afterRun(unsandboxed);
    EXPECT_EQ(prompter.boxes.size(), 1) << "not again, also after a restart";
}

TEST_F(MainWindowControls, FolderPicker) {
    QTemporaryDir picked;
    shown();
    auto* folderEdit = control<QLineEdit>("Text1");
    auto* dots = control<QPushButton>("PushButton7");
    const QString before = folderEdit->text();

    // Cancel: nothing changes, nothing is written.
    QTest::mouseClick(dots, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.back().kind, QStringLiteral("pickFolder"));
    EXPECT_EQ(prompter.boxes.back().title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(folderEdit->text(), before);
    EXPECT_EQ(onDisk(QStringLiteral("LastFolderDot")), std::nullopt);
    EXPECT_EQ(onDisk(QStringLiteral("Output Folder")), before);

    // A folder: the box gets a trailing separator, the picker's text is kept.
    prompter.folderAnswers.push_back(picked.path());
    QTest::mouseClick(dots, Qt::LeftButton);
    EXPECT_EQ(folderEdit->text(), picked.path() + QStringLiteral("/"));
    EXPECT_EQ(onDisk(QStringLiteral("Output Folder")), picked.path() + QStringLiteral("/"));
    EXPECT_EQ(onDisk(QStringLiteral("LastFolderDot")), picked.path());

    // The next pick opens there; the root gets no second separator.
    prompter.folderAnswers.push_back(QStringLiteral("/"));
    QTest::mouseClick(dots, Qt::LeftButton);
    EXPECT_EQ(prompter.boxes.back().preset, picked.path());
    EXPECT_EQ(folderEdit->text(), QStringLiteral("/"));
    EXPECT_EQ(onDisk(QStringLiteral("LastFolderDot")), QStringLiteral("/"));
    EXPECT_EQ(prompter.messageTexts(), QStringList());
}

TEST_F(MainWindowControls, PointerFeedback) {
    MainWindow& form = shown();
    // (pointer before, where the pointer moves, pointer after)
    using enum PointerState;
    const struct {
        PointerState before;
        const char* over;
        PointerState after;
        const char* reason;
        std::optional<QPoint> spot = std::nullopt; // bare frame or background
    } rows[] = {
        {Default, "PushButton2", Custom, "the hand over a push button"},
        {Default, "PushButton7", Custom, "also the small one in the folder row"},
        {Custom, "Form1", Default, "the arrow over the window background", QPoint(268, 180)},
        {Custom, "Frame1", Default, "the arrow over a frame", QPoint(500, 110)},
        {Custom, "Frame3", Default, "the arrow over the quality frame", QPoint(260, 50)},
        {Custom, "Text1", Default, "the arrow over the folder box"},
        {Custom, "ListView1", Default, "the arrow over the list"},
        {Custom, "Slider1", Custom, "the slider has no pointer handler"},
        {Custom, "Label2", Custom, "nor the labels"},
        {Custom, "Option2", Custom, "nor the option buttons"},
        {Custom, "ProgressBar1", Custom, "nor the progress bar"},
        {Busy, "PushButton1", Busy, "busy: the hourglass stays over a button"},
        {Busy, "Form1", Busy, "busy: and over the background", QPoint(268, 180)},
        {Busy, "Frame4", Busy, "busy: and over a frame", QPoint(5, 45)},
        {Busy, "Text1", Busy, "busy: and over the folder box"},
        {Busy, "ListView1", Busy, "busy: and over the list"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        hover("ProgressBar1"); // a neutral place to start from
        std::optional<WindowPointer::BusyScope> busy;
        if (row.before == Busy) {
            busy.emplace(form.pointer());
        } else {
            form.pointer().set(row.before);
        }
        if (QLatin1String(row.over) == QLatin1String("Form1")) {
            QTest::mouseMove(&form, *row.spot);
            QApplication::processEvents();
        } else {
            hover(row.over, row.spot);
        }
        EXPECT_EQ(form.windowPointer(), row.after);
    }
    // While pages go beside their sources the "..." button is disabled: it
    // cannot be pressed, so no hand over it.
    control<QRadioButton>("Option2")->click();
    hover("ProgressBar1");
    form.pointer().set(PointerState::Custom);
    hover("PushButton7");
    EXPECT_EQ(form.windowPointer(), PointerState::Default);

    {
        const WindowPointer::BusyScope busy(form.pointer());
        EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowControls, ApplicationPointerStaysBalanced) {
    {
        MainWindow& form = open();
        form.pointer().setApplicationPointer(PointerState::Busy);
        form.pointer().setApplicationPointer(PointerState::Busy);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        form.pointer().setApplicationPointer(PointerState::Default);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "one take, one release";
        form.pointer().setApplicationPointer(PointerState::Default);
        form.pointer().setApplicationPointer(PointerState::Busy);
    }
    TearDown();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "released when the window goes";
}

TEST_F(MainWindowControls, ProgressBarShowsTextAndValue) {
    MainWindow& form = open();
    auto* bar = control<TextProgressBar>("ProgressBar1");
    form.runControl().progressed({100.0 / 3.0, QStringLiteral("/in/100%p %v done.ps")});
    EXPECT_EQ(bar->value(), 33);
    EXPECT_EQ(bar->text(), QStringLiteral("Processing: 100%p %v done.ps (Esc to stop)"))
        << "a file name is shown as it is";
    form.runControl().progressed({250, {}});
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(MainWindowControls, ListHoldsAHundredThousandRows) {
    MainWindow& form = shown();
    auto* list = control<QTreeView>("ListView1");
    QStringList paths;
    paths.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        paths.append(QStringLiteral("/home/ann/scans/page%1.ps").arg(i, 6, 10, QLatin1Char('0')));
    }
    QElapsedTimer timer;
    timer.start();
    form.fileList().append(paths);
    list->scrollToBottom();
    list->repaint();
    QApplication::processEvents();
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(list->model()->rowCount(), 100000);
    EXPECT_EQ(form.fileList().text(100000), paths.back());
    EXPECT_LT(elapsed, 3000) << "adding and showing 100,000 rows took " << elapsed << " ms";
    EXPECT_EQ(list->columnWidth(0), list->viewport()->width())
        << "long names do not widen the column past the list";
}
