#include "app/form1.h"

#include "app/cursor_file.h"
#include "app/folder_browser.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "app/settings_values.h"
#include "app/skin.h"
#include "app/startup_helpers.h"
#include "app/text_progress_bar.h"
#include "base/error_trap.h"
#include "base/failure.h"
#include "base/prompter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTreeView>
#include <QUrl>

#include <cmath>

namespace velmora {

namespace {

// The window is designed in twips; 15 twips make one pixel at 96 dpi.
int pixels(int twips) {
    return qRound(twips / 15.0);
}

QRect twipRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

// Arial, or its metric twin where Arial itself is not installed, so the
// captions fit their controls as designed.
QFont arialBold(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// Labels and option buttons keep no fill of their own: they show the frame
// behind them, which has the same colour.
void setBackground(QWidget* widget, const QColor& colour, bool fill = true) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    // Buttons fill with their button colour, not the window colour.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(fill);
}

const QString& listToolTip() {
    static const QString tip =
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line "
                       "to right and out of window to reveal full names.");
    return tip;
}

QString qualityCaption(int quality) {
    return QStringLiteral("JPG Quality = ") + QString::number(quality);
}

constexpr int kListColumnTwips = 7000;
// Failed files the "Done." box names before "and N more".
constexpr int kDoneBoxLines = 20;

} // namespace

Form1::Form1(Prompter& prompter, SettingsStore& settings, std::function<int()> drawOneToHundred,
             QString programFolder, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_settings(settings),
      m_drawOneToHundred(std::move(drawOneToHundred)), m_programFolder(std::move(programFolder)),
      m_pointer(*this), m_run(*this, ConversionSettings{m_programFolder, {}}) {
    buildWindow();
    buildControls();
    arrangeTabOrder();
    connectHandlers();
    m_listHandlers = std::make_unique<FileListControls>(
        *m_listView1, m_files, m_prompter, m_settings, m_pointer, m_events, m_programFolder);
    m_listHandlers->setStopRequested([this] { return m_closing; });
    connect(m_pushButton1, &QPushButton::clicked, m_listHandlers.get(),
            &FileListControls::addFiles);
    connect(m_pushButton4, &QPushButton::clicked, m_listHandlers.get(),
            &FileListControls::addFolder);
    connect(m_pushButton9, &QPushButton::clicked, m_listHandlers.get(),
            &FileListControls::clearList);
    connect(m_pushButton10, &QPushButton::clicked, m_listHandlers.get(),
            &FileListControls::loadSamples);
    connect(&m_run, &ConversionRun::started, this, &Form1::runStarted);
    connect(&m_run, &ConversionRun::finished, this, &Form1::afterRun);
    Form_Load();
}

Form1::~Form1() {
    m_listHandlers.reset();
    // The view outlives the list it shows (children go after members).
    m_listView1->setModel(nullptr);
}

void Form1::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(pixels(8040), pixels(7560));
    setBackground(this, Qt::white);
    setFont(arialBold(9));
    setMouseTracking(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void Form1::buildControls() {
    const QFont buttonFont = arialBold(11.25);
    auto makeButton = [&](const QString& name, const QString& caption, QWidget* container,
                          QRect geometry) {
        auto* button = new QPushButton(caption, container);
        button->setObjectName(name);
        button->setGeometry(geometry);
        button->setFont(buttonFont);
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, Qt::white);
        button->setPalette(palette);
        m_buttons.append(button);
        return button;
    };
    auto makeFrame = [&](const QString& name, const QString& caption, QWidget* container,
                         QRect geometry) {
        auto* frame = new QGroupBox(caption, container);
        frame->setObjectName(name);
        frame->setGeometry(geometry);
        setBackground(frame, Qt::white);
        return frame;
    };
    auto makeLabel = [&](const QString& name, const QString& caption, QWidget* container,
                         QRect geometry) {
        auto* label = new QLabel(caption, container);
        label->setObjectName(name);
        label->setGeometry(geometry);
        setBackground(label, Qt::white, false);
        return label;
    };
    auto makeOption = [&](const QString& name, const QString& caption, QWidget* container,
                          QRect geometry) {
        auto* option = new QRadioButton(caption, container);
        option->setObjectName(name);
        option->setGeometry(geometry);
        setBackground(option, Qt::white, false);
        return option;
    };

    // In the order of the window's design.
    m_frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("JPG Quality"), this,
                         twipRect(120, 5595, 7800, 825));

    m_slider1 = new QSlider(Qt::Horizontal, m_frame3);
    m_slider1->setObjectName(QStringLiteral("Slider1"));
    m_slider1->setGeometry(twipRect(540, 300, 6555, 315));
    m_slider1->setRange(0, 100);
    m_slider1->setSingleStep(1);
    m_slider1->setPageStep(5);
    m_slider1->setTickPosition(QSlider::TicksBelow);
    m_slider1->setTickInterval(10);

    m_label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Min."), m_frame3,
                         twipRect(150, 360, 375, 195));
    m_label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Max."), m_frame3,
                         twipRect(7170, 345, 405, 225));

    m_listView1 = new QTreeView(this);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setGeometry(twipRect(120, 120, 7800, 2535));
    m_listView1->setUniformRowHeights(true); // keeps 100,000 rows quick
    m_listView1->setRootIsDecorated(false);
    m_listView1->setItemsExpandable(false);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setToolTip(listToolTip());
    // The column keeps its width; the user drags its edge to see long names.
    m_listView1->header()->setStretchLastSection(false);
    // A path too long for the column loses its middle, not its file name, so
    // rows from one deep folder stay apart; the row's tooltip shows it whole.
    m_listView1->setTextElideMode(Qt::ElideMiddle);

    m_progressBar1 = new TextProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setGeometry(twipRect(120, 7050, 7800, 405));
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    m_progressBar1->setTextVisible(true);
    m_progressBar1->setAlignment(Qt::AlignCenter);
    m_progressBar1->setBarText(QStringLiteral("Progress Bar"));
    {
        QPalette palette = m_progressBar1->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Window, Qt::white);
        m_progressBar1->setPalette(palette);
    }

    m_pushButton1 = makeButton(QStringLiteral("PushButton1"), QStringLiteral("Add PS File(s)"),
                               this, twipRect(120, 2750, 3840, 405));
    m_pushButton4 =
        makeButton(QStringLiteral("PushButton4"), QStringLiteral("Add All PS File(s) In Folder"),
                   this, twipRect(4080, 2750, 3840, 405));
    m_pushButton2 =
        makeButton(QStringLiteral("PushButton2"), QStringLiteral("Start Converting To JPG"), this,
                   twipRect(120, 6540, 7800, 405));
    m_pushButton9 = makeButton(QStringLiteral("PushButton9"), QStringLiteral("Clear List"), this,
                               twipRect(120, 3260, 3840, 405));
    m_pushButton10 =
        makeButton(QStringLiteral("PushButton10"), QStringLiteral("Load Sample/Example Files"),
                   this, twipRect(4080, 3260, 3840, 405));

    m_frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("Save Option"), this,
                         twipRect(120, 3720, 7800, 1815));
    m_option2 = makeOption(QStringLiteral("Option2"),
                           QStringLiteral("Save results in folder of original file"), m_frame1,
                           twipRect(240, 1410, 3615, 255));
    m_option1 =
        makeOption(QStringLiteral("Option1"), QStringLiteral("Save results to this folder:"),
                   m_frame1, twipRect(240, 300, 3615, 255));
    m_option1->setChecked(true);
    // Option buttons track the pointer for their hover look; their moves must
    // not reach the frame's handler, since they have none of their own.
    m_option1->setAttribute(Qt::WA_NoMousePropagation);
    m_option2->setAttribute(Qt::WA_NoMousePropagation);
    m_frame4 =
        makeFrame(QStringLiteral("Frame4"), QString(), m_frame1, twipRect(480, 510, 6840, 810));

    m_text1 = new QLineEdit(m_frame4);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(twipRect(240, 300, 5670, 345));

    m_pushButton7 = makeButton(QStringLiteral("PushButton7"), QStringLiteral("..."), m_frame4,
                               twipRect(6000, 300, 600, 345));

    // The list's font is its own in the design, the same face as the window's.
    m_listView1->setFont(arialBold(9));

    for (QPushButton* button : std::as_const(m_buttons)) {
        watchPointer(button);
    }
    m_backgroundAreas = {m_frame1,
                         m_frame3,
                         m_frame4,
                         m_text1,
                         m_listView1,
                         m_listView1->viewport(),
                         m_listView1->header()};
    for (QWidget* area : std::as_const(m_backgroundAreas)) {
        watchPointer(area);
    }
}

void Form1::arrangeTabOrder() {
    // Tab index order of the design; frames, labels and the progress bar take
    // no focus.
    const QList<QWidget*> order = {m_listView1,   m_pushButton1,  m_pushButton4, m_pushButton2,
                                   m_pushButton9, m_pushButton10, m_slider1,     m_text1,
                                   m_pushButton7, m_option1,      m_option2};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
    }
}

void Form1::connectHandlers() {
    connect(m_option1, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) {
            Option1_Click();
        }
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) {
            Option2_Click();
        }
    });
    connect(m_text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(m_slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
    connect(m_pushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(m_pushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
}

void Form1::watchPointer(QWidget* widget) {
    widget->setMouseTracking(true);
    // The move is this widget's alone: it must not also reach the frame or
    // window behind it and undo what its handler did.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->installEventFilter(this);
}

void Form1::Form_Load() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.Form_Load"));

    trap.step(100, [&] { ApplySkin(*this, m_programFolder); });

    const QString handPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    if (trap.test(102, [&] { return PathExists(handPath); })) {
        trap.step(104, [&] { m_pointer.setCustomCursor(LoadCursorFile(handPath)); });
    }

    trap.step(106, [&] {
        if (m_drawOneToHundred && m_drawOneToHundred() == kHomePageDraw) {
            QDesktopServices::openUrl(QUrl(HomePageAddress()));
        }
    });

    trap.step(130, [&] {
        setWindowTitle(ProductName());
        const QString iconPath = m_programFolder + QStringLiteral("/velmora.ico");
        if (QFileInfo(iconPath).isFile()) {
            const QIcon icon(iconPath);
            setWindowIcon(icon);
            QGuiApplication::setWindowIcon(icon);
        }
        SetApplicationTitle();
    });

    trap.step(132, [&] { m_listView1->setModel(&m_files); });
    trap.step(134, [&] { m_listView1->setColumnWidth(0, pixels(kListColumnTwips)); });

    trap.step(136, [&] { m_text1->setText(m_settings.read(setting::kOutputFolder)); });
    trap.step(138,
              [&] { m_slider1->setValue(QualityFromText(m_settings.read(setting::kJpgQuality))); });
    trap.step(140, [&] { m_frame3->setTitle(qualityCaption(m_slider1->value())); });
    trap.step(142,
              [&] { assignOption(m_option1, TruthFromText(m_settings.read(setting::kOption1))); });
    trap.step(144,
              [&] { assignOption(m_option2, TruthFromText(m_settings.read(setting::kOption2))); });
    if (trap.test(146, [&] { return m_option1->isChecked(); })) {
        trap.step(148, [&] { m_frame4->setEnabled(true); });
    } else {
        trap.step(150, [&] { m_frame4->setEnabled(false); });
    }

    trap.step(152, [&] { m_run.settings().tempFolder = WorkFolderBase(); });
}

void Form1::assignOption(QRadioButton* option, bool selected) {
    if (selected) {
        option->setChecked(true); // its click handler runs when this selects it
        return;
    }
    if (!option->isChecked()) {
        return;
    }
    // A stored choice may select neither option, which an auto-exclusive
    // button does not allow by itself.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void Form1::Form_Unload() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    // Stops Ghostscript and removes the work folder of a run that is going on.
    m_run.cancel();
    emit closed();
    // Ends the program once control is back in the event loop: a run that
    // was going on has returned by then. (Outside the event loop, as in
    // tests, this does nothing.)
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Keys the focused control leaves alone arrive here.
    if (event->key() == Qt::Key_Escape && m_run.isConverting()) {
        StopRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::Option1_Click() {
    optionClick();
}

void Form1::Option2_Click() {
    optionClick();
}

void Form1::optionClick() {
    m_settings.write(setting::kOption1, TruthText(m_option1->isChecked()));
    m_settings.write(setting::kOption2, TruthText(m_option2->isChecked()));
    m_frame4->setEnabled(m_option1->isChecked());
}

void Form1::Text1_Change() {
    m_settings.write(setting::kOutputFolder, m_text1->text());
}

void Form1::Slider1_Change() {
    m_frame3->setTitle(qualityCaption(m_slider1->value()));
    m_settings.write(setting::kJpgQuality, QString::number(m_slider1->value()));
}

void Form1::PushButton7_Click() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.PushButton7_Click"));
    QString picked;
    trap.step(100, [&] {
        m_lastFolderDot = m_settings.read(setting::kLastFolderDot);
        picked =
            BrowseForFolder(m_prompter, QStringLiteral("Please select folder:"), m_lastFolderDot);
    });
    if (trap.test(102, [&] { return picked.isEmpty(); })) {
        return;
    }
    trap.step(104, [&] {
        m_lastFolderDot = picked;
        m_settings.write(setting::kLastFolderDot, picked);
    });
    // The store and the separator test share line 104 in the classic error
    // reports, so a failure in either names the same line.
    if (trap.test(104, [&] { return !picked.endsWith(QDir::separator()); })) {
        trap.step(106, [&] { m_text1->setText(picked + QDir::separator()); });
    } else {
        trap.step(108, [&] { m_text1->setText(picked); });
    }
}

void Form1::PushButton2_Click() {
    // A click during a run does nothing.
    if (m_run.isConverting()) {
        return;
    }
    // A hand-edited value that is no whole number above 0 means the default.
    bool ok = false;
    const int jobs = m_settings.read(setting::kJobs).toInt(&ok);
    m_run.settings().jobs = ok && jobs > 0 ? jobs : 0;
    const qint64 writeMB = m_settings.read(setting::kWriteLimitMB).toLongLong(&ok);
    m_run.settings().writeLimitBytes = ok && writeMB > 0 ? writeMB * ConversionSettings::kMB
                                                         : ConversionSettings{}.writeLimitBytes;
    // What the user pressed Start with is what runs: the rows, the output
    // place and the quality as they are now.
    m_run.start({m_files.rows(), outputChoice(), m_text1->text(), m_slider1->value()});
}

void Form1::runStarted() {
    m_pointer.set(PointerState::Busy);
    m_pointer.setApplicationPointer(PointerState::Busy);
}

void Form1::StopRequested() {
    if (!m_run.isConverting()) {
        return;
    }
    const Prompter::Answer answer = m_prompter.message(
        QStringLiteral("Stop converting?"), {}, Prompter::Buttons::YesNo, Prompter::Icon::Question);
    // The run may have ended while the question was open.
    if (answer == Prompter::Answer::Yes) {
        m_run.stop();
    }
}

QString Form1::sandboxNoticeText() {
    return QStringLiteral(
        "Ghostscript could not be started in a sandbox (the program bwrap is missing or not "
        "allowed on this system), so documents are converted with Ghostscript's own safe mode "
        "only. Install the package bubblewrap for stronger protection.");
}

void Form1::afterRun(const RunSummary& summary) {
    m_pointer.setApplicationPointer(PointerState::Default);
    m_pointer.set(PointerState::Default);
    m_progressBar1->setValue(0);
    m_progressBar1->setBarText(QStringLiteral("Progress Bar"));
    if (m_closing) {
        return;
    }
    // Hundreds of failed files would not fit on the screen: the box names
    // the first ones, its details hold them all.
    const QString shown = summary.message(kDoneBoxLines);
    if (!shown.isEmpty()) {
        const QString whole = summary.message();
        m_prompter.message(shown, {}, Prompter::Buttons::Ok, Prompter::Icon::None,
                           shown == whole ? QString() : whole);
    }
    if (summary.sandboxed || m_closing) {
        return;
    }
    bool noticeShown = false;
    try {
        noticeShown = TruthFromText(m_settings.read(setting::kSandboxNoticeShown));
    } catch (const Failure&) {
        // a hand-edited value that is no truth value: tell once more
    }
    if (noticeShown) {
        return;
    }
    // Recorded before the box opens, so a program ended with the box still
    // open does not tell again either.
    m_settings.write(setting::kSandboxNoticeShown, TruthText(true));
    m_prompter.message(sandboxNoticeText(), {}, Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void Form1::PushButton_MouseMove() {
    m_pointer.hoverButton();
}

void Form1::Form_MouseMove() {
    m_pointer.hoverBackground();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // A disabled button (the "..." while pages go beside their sources)
        // cannot be pressed, so it gets the arrow like the frame around it.
        const auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && button->isEnabled()) {
            PushButton_MouseMove();
        } else {
            Form_MouseMove();
        }
    }
    return QWidget::eventFilter(watched, event);
}

OutputChoice Form1::outputChoice() const {
    if (m_option1->isChecked()) {
        return OutputChoice::Folder;
    }
    if (m_option2->isChecked()) {
        return OutputChoice::BesideSource;
    }
    return OutputChoice::None;
}

void Form1::progressed(double percent, const QString& text) {
    m_progressBar1->setValue(std::isfinite(percent) ? qBound(0, qRound(percent), 100) : 0);
    // While files are processed, the bar says how to stop.
    if (!text.isEmpty()) {
        m_progressBar1->setBarText(text + QStringLiteral(" (Esc to stop)"));
    }
}

void Form1::problem(const Problem& problem) {
    // The box waits for the user; the engine does not: it opens once the
    // engine's step is over.
    QMetaObject::invokeMethod(
        this, [this, problem] { m_prompter.problem(problem); }, Qt::QueuedConnection);
}

} // namespace velmora
