#include "app/window_layout.h"

#include "app/focus_frame_shown.h"
#include "app/focus_framed_slider.h"
#include "app/list_column_fit.h"
#include "app/outer_frame_tree_view.h"
#include "app/text_progress_bar.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTreeView>

namespace velmora {

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kMaxQuality = 100;
constexpr int kQualityPageStep = 5;
constexpr int kQualityTickInterval = 10;

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

void shapeWindow(QWidget& window) {
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowTitle(QStringLiteral("Form1"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(Pixels(8040), Pixels(7560));
    setBackground(&window, Qt::white);
    window.setFont(arialBold(9));
    window.setMouseTracking(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
}

QTreeView* makeFileList(QWidget& window) {
    auto* list = new OuterFrameTreeView(&window);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setGeometry(TwipRect(120, 120, 7800, 2535));
    list->setUniformRowHeights(true); // keeps 100,000 rows quick
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setToolTip(listToolTip());
    // The column fills the list and follows it; the user may drag its edge
    // further to see long names, so it does not stretch on its own.
    list->header()->setStretchLastSection(false);
    // A path too long for the column loses its middle, not its file name, so
    // rows from one deep folder stay apart; the row's tooltip shows it whole.
    list->setTextElideMode(Qt::ElideMiddle);
    return list;
}

TextProgressBar* makeProgressBar(QWidget& window) {
    auto* bar = new TextProgressBar(&window);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setGeometry(TwipRect(120, 7050, 7800, 405));
    bar->setRange(0, kMaxQuality);
    bar->setValue(0);
    bar->setTextVisible(true);
    bar->setAlignment(Qt::AlignCenter);
    bar->setBarText(ProgressBarIdleText());
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    bar->setPalette(palette);
    return bar;
}

QSlider* makeQualitySlider(QWidget* frame) {
    auto* slider = new FocusFramedSlider(Qt::Horizontal, frame);
    slider->setObjectName(QStringLiteral("Slider1"));
    slider->setGeometry(TwipRect(540, 300, 6555, 315));
    slider->setRange(0, kMaxQuality);
    slider->setSingleStep(1);
    slider->setPageStep(kQualityPageStep);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(kQualityTickInterval);
    return slider;
}

void arrangeTabOrder(const WindowControls& c) {
    // Tab index order of the design; frames, labels and the progress bar take
    // no focus.
    const QList<QWidget*> order = {c.fileList,         c.addFilesButton,    c.addFolderButton,
                                   c.startButton,      c.clearListButton,   c.samplesButton,
                                   c.qualitySlider,    c.outputFolderEdit,  c.browseButton,
                                   c.intoFolderOption, c.besideSourceOption};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
    }
}

// Names that screen readers speak for controls whose own text says too
// little: the list and the folder box have their captions beside them, the
// "..." would be read out as dots, the slider and the bar have no text.
void nameForScreenReaders(const WindowControls& c) {
    c.fileList->setAccessibleName(QStringLiteral("PS File(s)"));
    c.outputFolderEdit->setAccessibleName(QStringLiteral("Save results to this folder:"));
    c.browseButton->setAccessibleName(QStringLiteral("Browse for the output folder"));
    c.qualitySlider->setAccessibleName(QStringLiteral("JPG Quality"));
    c.progressBar->setAccessibleName(QStringLiteral("Progress"));
}

} // namespace

int Pixels(int twips) {
    return qRound(twips / kTwipsPerPixel);
}

QRect TwipRect(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QString QualityCaption(int quality) {
    return QStringLiteral("JPG Quality = ") + QString::number(quality);
}

QString ProgressBarIdleText() {
    return QStringLiteral("Progress Bar");
}

WindowControls BuildWindowLayout(QWidget& window) {
    shapeWindow(window);
    WindowControls c;
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
        // Enter and Return press the focused button, as Space does.
        button->setAutoDefault(true);
        c.buttons.append(button);
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
    c.qualityFrame = makeFrame(QStringLiteral("Frame3"), QStringLiteral("JPG Quality"), &window,
                               TwipRect(120, 5595, 7800, 825));
    c.qualitySlider = makeQualitySlider(c.qualityFrame);
    c.minimumLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("Min."), c.qualityFrame,
                               TwipRect(150, 360, 375, 195));
    c.maximumLabel = makeLabel(QStringLiteral("Label3"), QStringLiteral("Max."), c.qualityFrame,
                               TwipRect(7170, 345, 405, 225));
    c.fileList = makeFileList(window);
    c.listColumnFit = new ListColumnFit(*c.fileList);
    c.progressBar = makeProgressBar(window);

    c.addFilesButton = makeButton(QStringLiteral("PushButton1"), QStringLiteral("Add PS File(s)"),
                                  &window, TwipRect(120, 2750, 3840, 405));
    c.addFolderButton =
        makeButton(QStringLiteral("PushButton4"), QStringLiteral("Add All PS File(s) In Folder"),
                   &window, TwipRect(4080, 2750, 3840, 405));
    c.startButton =
        makeButton(QStringLiteral("PushButton2"), QStringLiteral("Start Converting To JPG"),
                   &window, TwipRect(120, 6540, 7800, 405));
    c.clearListButton = makeButton(QStringLiteral("PushButton9"), QStringLiteral("Clear List"),
                                   &window, TwipRect(120, 3260, 3840, 405));
    c.samplesButton =
        makeButton(QStringLiteral("PushButton10"), QStringLiteral("Load Sample/Example Files"),
                   &window, TwipRect(4080, 3260, 3840, 405));

    c.saveOptionFrame = makeFrame(QStringLiteral("Frame1"), QStringLiteral("Save Option"), &window,
                                  TwipRect(120, 3720, 7800, 1815));
    c.besideSourceOption = makeOption(QStringLiteral("Option2"),
                                      QStringLiteral("Save results in folder of original file"),
                                      c.saveOptionFrame, TwipRect(240, 1410, 3615, 255));
    c.intoFolderOption =
        makeOption(QStringLiteral("Option1"), QStringLiteral("Save results to this folder:"),
                   c.saveOptionFrame, TwipRect(240, 300, 3615, 255));
    c.intoFolderOption->setChecked(true);
    // Option buttons track the pointer for their hover look; their moves must
    // not reach the frame's handler, since they have none of their own.
    c.intoFolderOption->setAttribute(Qt::WA_NoMousePropagation);
    c.besideSourceOption->setAttribute(Qt::WA_NoMousePropagation);
    c.folderRow = makeFrame(QStringLiteral("Frame4"), QString(), c.saveOptionFrame,
                            TwipRect(480, 510, 6840, 810));

    c.outputFolderEdit = new QLineEdit(c.folderRow);
    c.outputFolderEdit->setObjectName(QStringLiteral("Text1"));
    c.outputFolderEdit->setGeometry(TwipRect(240, 300, 5670, 345));

    c.browseButton = makeButton(QStringLiteral("PushButton7"), QStringLiteral("..."), c.folderRow,
                                TwipRect(6000, 300, 600, 345));

    // The list's font is its own in the design, the same face as the window's.
    c.fileList->setFont(arialBold(9));

    c.backgroundAreas = {c.saveOptionFrame,   c.qualityFrame, c.folderRow,
                         c.outputFolderEdit,  c.fileList,     c.fileList->viewport(),
                         c.fileList->header()};
    arrangeTabOrder(c);
    nameForScreenReaders(c);
    // The keyboard starts on the first button, which says what to do first,
    // and the window shows where it is from the start, not only after Tab.
    c.addFilesButton->setFocus(Qt::OtherFocusReason);
    new FocusFrameShown(window);
    return c;
}

} // namespace velmora
