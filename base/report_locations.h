#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <tuple>

// Where the "Application Error" box says a failed step happened ("in
// <location> at line <step>"): the names and numbers users quote when they
// mail us a screenshot, kept exactly as they have always read, whatever the
// code around them is called now.
//
// Each location is a type holding its text and its steps, and a step is typed
// by its location: a LocatedTrap of one location does not compile with a step
// of another, so every step reported is one of its own location's.
namespace velmora {

template <typename Location> struct ReportStep {
    int line; // the number the box shows ("at line N")
};

namespace report_location {

// The beginning of every location's text but the folder walk's.
inline constexpr QStringView kProductPrefix = u"Velmora2021/08/31.";

// The window's start-up.
struct StartUp {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.Form_Load";
    using Step = ReportStep<StartUp>;
    static constexpr Step kApplyLook{100};
    static constexpr Step kFindHandPointer{102};
    static constexpr Step kLoadHandPointer{104};
    static constexpr Step kMaybeOpenHomePage{106};
    static constexpr Step kShowCaptionAndIcon{130};
    static constexpr Step kShowList{132};
    static constexpr Step kFitColumn{134};
    static constexpr Step kRestoreOutputFolder{136};
    static constexpr Step kRestoreQuality{138};
    static constexpr Step kShowQualityCaption{140};
    static constexpr Step kRestoreIntoFolderOption{142};
    static constexpr Step kRestoreBesideSourceOption{144};
    static constexpr Step kTestIntoFolder{146};
    static constexpr Step kEnableFolderRow{148};
    static constexpr Step kDisableFolderRow{150};
    static constexpr Step kFindWorkFolderBase{152};
    static constexpr std::array kSteps{
        kApplyLook,          kFindHandPointer,         kLoadHandPointer,
        kMaybeOpenHomePage,  kShowCaptionAndIcon,      kShowList,
        kFitColumn,          kRestoreOutputFolder,     kRestoreQuality,
        kShowQualityCaption, kRestoreIntoFolderOption, kRestoreBesideSourceOption,
        kTestIntoFolder,     kEnableFolderRow,         kDisableFolderRow,
        kFindWorkFolderBase};
};

// The output folder's "...".
struct BrowseOutputFolder {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton7_Click";
    using Step = ReportStep<BrowseOutputFolder>;
    static constexpr Step kPickFolder{100};
    static constexpr Step kTestCancelled{102};
    // Storing the folder and testing its closing separator share a number.
    static constexpr Step kKeepPicked{104};
    static constexpr Step kShowWithSeparator{106};
    static constexpr Step kShowAsPicked{108};
    static constexpr std::array kSteps{kPickFolder, kTestCancelled, kKeepPicked, kShowWithSeparator,
                                       kShowAsPicked};
};

// "Start Converting To JPG": what the run prepares before its first file.
struct StartConverting {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton2_Click";
    using Step = ReportStep<StartConverting>;
    static constexpr Step kCheckOutputFolder{106};
    static constexpr Step kMakeWorkFolder{110};
    static constexpr Step kCopyScripts{114};
    static constexpr Step kWriteJpegScript{120};
    static constexpr std::array kSteps{kCheckOutputFolder, kMakeWorkFolder, kCopyScripts,
                                       kWriteJpegScript};
};

// One source taken in for its PostScript stage.
struct TakeInSource {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"PDF.PS_To_PDF";
    using Step = ReportStep<TakeInSource>;
    static constexpr Step kMakePdfFolder{110};
    static constexpr Step kCopySource{112};
    static constexpr std::array kSteps{kMakePdfFolder, kCopySource};
};

// One source's pages made and placed.
struct MakePages {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"PDF.PDF_To_JPG";
    using Step = ReportStep<MakePages>;
    static constexpr Step kPrepareRange{104}; // a range's folder and script
    static constexpr Step kHandOverPdf{108};
    static constexpr Step kListPages{126};
    static constexpr Step kPlacePageInFolder{138};
    static constexpr Step kPlacePageBesideSource{142};
    static constexpr Step kRemoveFileFolder{150};
    static constexpr std::array kSteps{
        kPrepareRange,      kHandOverPdf,           kListPages,
        kPlacePageInFolder, kPlacePageBesideSource, kRemoveFileFolder};
};

// "Add PS File(s)".
struct AddFiles {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton1_Click";
    using Step = ReportStep<AddFiles>;
    static constexpr Step kShowDialog{112};
    static constexpr Step kTestCancelled{114};
    static constexpr Step kAddPickedFile{122};
    static constexpr Step kAddPickedFiles{140};
    static constexpr std::array kSteps{kShowDialog, kTestCancelled, kAddPickedFile,
                                       kAddPickedFiles};
};

// "Add All PS File(s) In Folder".
struct AddFolder {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton4_Click";
    using Step = ReportStep<AddFolder>;
    static constexpr Step kAskExtension{100};
    static constexpr Step kTestNoExtension{102};
    static constexpr Step kStoreExtension{104};
    static constexpr Step kPickFolder{106};
    static constexpr Step kTestNoFolder{108};
    static constexpr Step kStoreFolder{334};
    static constexpr Step kShowBusy{114};
    static constexpr Step kWalkFolders{118};
    static constexpr Step kListFolderFiles{124}; // a folder whose files cannot be listed
    static constexpr Step kAddRows{134};
    static constexpr Step kShowIdle{138};
    static constexpr std::array kSteps{
        kAskExtension, kTestNoExtension, kStoreExtension,  kPickFolder, kTestNoFolder, kStoreFolder,
        kShowBusy,     kWalkFolders,     kListFolderFiles, kAddRows,    kShowIdle};
};

// "Clear List": the busy test and the clearing are one numbered line.
struct ClearList {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton9_Click";
    using Step = ReportStep<ClearList>;
    static constexpr Step kClear{100};
    static constexpr std::array kSteps{kClear};
};

// "Load Sample/Example Files".
struct LoadSamples {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.PushButton10_Click";
    using Step = ReportStep<LoadSamples>;
    static constexpr Step kLoad{100};
    static constexpr std::array kSteps{kLoad};
};

// Files dropped on the list, or handed over at start-up.
struct AddDropped {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"Form1.ListView1_OLEDragDrop";
    using Step = ReportStep<AddDropped>;
    static constexpr Step kAddPath{100};
    static constexpr Step kListFolderFiles{124}; // a folder below it whose files cannot be listed
    static constexpr std::array kSteps{kAddPath, kListFolderFiles};
};

// velmora-convert's folder arguments, walked as "Add All" walks.
struct CommandLineFolder {
    static constexpr QStringView kPrefix = kProductPrefix;
    static constexpr QStringView kName = u"velmora-convert.AddFolder";
    using Step = ReportStep<CommandLineFolder>;
    static constexpr Step kListFolderFiles{124};
    static constexpr std::array kSteps{kListFolderFiles};
};

// The breadth-first walk below a folder: its location always had a prefix
// of its own.
struct FolderScanner {
    static constexpr QStringView kPrefix = u"TobrinTitle2021/08/31.";
    static constexpr QStringView kName = u"AddFolder.GetSubDirectories2016";
    using Step = ReportStep<FolderScanner>;
    static constexpr Step kYieldAtFolder{114};
    static constexpr Step kListSubfolders{118};
    static constexpr Step kTestStillThere{154};
    static constexpr Step kYieldAtFound{156};
    static constexpr Step kTestNotSkipped{158};
    static constexpr Step kKeepFound{160};
    static constexpr std::array kSteps{kYieldAtFolder, kListSubfolders, kTestStillThere,
                                       kYieldAtFound,  kTestNotSkipped, kKeepFound};
};

// Every location, for what looks at them all.
using All =
    std::tuple<StartUp, BrowseOutputFolder, StartConverting, TakeInSource, MakePages, AddFiles,
               AddFolder, ClearList, LoadSamples, AddDropped, CommandLineFolder, FolderScanner>;

// The text the box shows for a location.
template <typename Location> QString FullText() {
    return Location::kPrefix.toString() + Location::kName.toString();
}

} // namespace report_location
} // namespace velmora
