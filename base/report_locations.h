#pragma once

#include <QString>

// Where the "Application Error" box says a failed step happened: the names
// users quote when they mail us a screenshot, kept exactly as they have always
// read, whatever the code around them is called now. Beside each, the step
// numbers that procedure reports ("at line N").
namespace velmora::report_location {

// Start-up: 100-106 the look, the hand pointer, the home page; 130 the
// caption and icon; 132-134 the list and its column; 136-152 the stored
// choices and the work folder's base.
inline const QString kStartUp = QStringLiteral("Form1.Form_Load");
// The output folder's "...": 100-108 pick, store and show the folder.
inline const QString kBrowseOutputFolder = QStringLiteral("Form1.PushButton7_Click");
// "Start Converting To JPG": 106 the output check, 110 the work folder, 114
// our scripts copied in, 120 the JPEG script written.
inline const QString kStartConverting = QStringLiteral("Form1.PushButton2_Click");
// One source taken in: 110 its folder, 112 its copy.
inline const QString kTakeInSource = QStringLiteral("PDF.PS_To_PDF");
// Its pages: 104 a range's folder and script, 108 the PDF handed over, 126
// the pages listed, 138 / 142 a page placed (into the folder / beside the
// source), 150 its folder removed.
inline const QString kMakePages = QStringLiteral("PDF.PDF_To_JPG");
// "Add PS File(s)": 112 the dialog, 114 its answer checked, 122 / 140 the
// picked file / files added.
inline const QString kAddFiles = QStringLiteral("Form1.PushButton1_Click");
// "Add All PS File(s) In Folder": 100-104 the extension asked for and stored;
// 106-108 the folder picked, 334 stored; 114 the hourglass; 118 the walk (124
// a folder whose files cannot be listed); 134 the rows added; 138 the pointer
// back.
inline const QString kAddFolder = QStringLiteral("Form1.PushButton4_Click");
// "Clear List": 100.
inline const QString kClearList = QStringLiteral("Form1.PushButton9_Click");
// "Load Sample/Example Files": 100.
inline const QString kLoadSamples = QStringLiteral("Form1.PushButton10_Click");
// Files dropped on the list, or handed over at start-up: 100 a path's rows
// added (124 a folder below it whose files cannot be listed).
inline const QString kAddDropped = QStringLiteral("Form1.ListView1_OLEDragDrop");
// velmora-convert's folder arguments, walked as "Add All" walks: 124 a folder
// whose files cannot be listed.
inline const QString kCommandLineFolder = QStringLiteral("velmora-convert.AddFolder");

} // namespace velmora::report_location
