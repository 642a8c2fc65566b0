#pragma once

// Builds the window's controls at their designed places, in their tab order.

#include <QList>
#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTreeView;
class QWidget;

namespace velmora {

class ListColumnFit;
class TextProgressBar;

// Every control of the main window. Each keeps the object name it was
// designed with ("PushButton2", "Text1", ...), by which tests find it.
struct WindowControls {
    QTreeView* fileList = nullptr;
    ListColumnFit* listColumnFit = nullptr; // keeps the list's column as wide as the list
    QPushButton* addFilesButton = nullptr;
    QPushButton* addFolderButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* clearListButton = nullptr;
    QPushButton* samplesButton = nullptr;
    QGroupBox* qualityFrame = nullptr;
    QSlider* qualitySlider = nullptr;
    QLabel* minimumLabel = nullptr;
    QLabel* maximumLabel = nullptr;
    QGroupBox* saveOptionFrame = nullptr;
    QRadioButton* intoFolderOption = nullptr;   // "Save results to this folder:"
    QRadioButton* besideSourceOption = nullptr; // "Save results in folder of original file"
    QGroupBox* folderRow = nullptr;             // the folder box and its "..."
    QLineEdit* outputFolderEdit = nullptr;
    QPushButton* browseButton = nullptr;
    TextProgressBar* progressBar = nullptr;

    // The push buttons, which show the hand when hovered.
    QList<QPushButton*> buttons;
    // Frames, the folder box and the list, over which the pointer is the arrow.
    QList<QWidget*> backgroundAreas;
};

// The window is designed in twips; 15 twips make one pixel at 96 dpi.
int Pixels(int twips);
QRect TwipRect(int left, int top, int width, int height);
// "JPG Quality = 75", the quality frame's title.
QString QualityCaption(int quality);
// What the progress bar says while nothing converts.
QString ProgressBarIdleText();

// Gives `window` its fixed size, look and place on the screen, and builds
// every control inside it, named for screen readers, with the keyboard on
// "Add PS File(s)".
WindowControls BuildWindowLayout(QWidget& window);

} // namespace velmora
