// How stored texts become the slider's quality and the options' choice, and
// the application's title.
#include "app/settings_values.h"
#include "app/startup_helpers.h"
#include "base/failure.h"
#include "support/qstring_printer.h"

#include <QVariant>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct Row {
    const char* stored;
    const char* read; // the value, or the number of the failure thrown
    const char* reason;
};

template <typename Reader> QString readWith(Reader reader, const char* stored) {
    try {
        return QVariant(reader(QString::fromUtf8(stored))).toString();
    } catch (const Failure& failure) {
        return "Failure " + QString::number(failure.number());
    }
}

TEST(SettingsValues, QualityIsTheLeadingNumberRoundedHalfToEven) {
    const Row rows[] = {
        {"75", "75", "a plain whole number"},
        {"80abc", "80", "letters after the number are left out"},
        {"abc", "0", "no leading number reads as 0"},
        {"", "0", "nor does an empty text"},
        {"50.5", "50", "a half goes to the even neighbour below"},
        {"51.5", "52", "or above"},
        {"50.51", "51", "more than a half rounds up"},
        {"99.5", "100", "onto the upper end"},
        {"100.5", "100", "a half above 100 rounds back to the even 100"},
        {"  42", "42", "leading blanks are skipped"},
        {"+7", "7", "an explicit sign"},
        {"-0.4", "0", "a small negative rounds to zero"},
        {".5", "0", "a fraction alone is a number; its half goes to 0"},
        {"1e2", "100", "an exponent is part of the number"},
        {"2e", "2", "an exponent without digits is not"},
        {"1,5", "1", "the comma is no decimal mark in the store"},
        {"100.6", "Failure 380", "rounds to 101, outside the slider"},
        {"-1", "Failure 380", "below the slider"},
        {"1e400", "Failure 380", "too large for a number: out of range, not a crash"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readWith(QualityFromText, row.stored), row.read) << row.reason;
    }
}

TEST(SettingsValues, ChoicesAreTruthWordsInAnyCaseOrNumbers) {
    const Row rows[] = {
        {"True", "true", "the word as written"},
        {"tRUE", "true", "any letter case"},
        {"FALSE", "false", "any letter case"},
        {" False ", "false", "blanks around the word"},
        {"1", "true", "the first option's default as stored text"},
        {"0", "false", "the second's"},
        {"-1", "true", "any number other than 0"},
        {"0.0", "false", "zero written with a fraction"},
        {"2.5", "true", "a fraction other than zero"},
        {"maybe", "Failure 13", "neither a word nor a number"},
        {"", "Failure 13", "an empty text"},
        {"1abc", "Failure 13", "a number followed by letters"},
        {"Truely", "Failure 13", "a longer word"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readWith(TruthFromText, row.stored), row.read) << row.reason;
    }
    EXPECT_EQ(TruthText(true) + TruthText(false), "TrueFalse") << "as they are stored";
}

TEST(SettingsValues, TheApplicationTitleLosesWordsFromItsEnd) {
    const Row rows[] = {
        {"Velmora", "Velmora", "a single word keeps it"},
        {"Alpha Beta Gamma Delta Epsilon", "Alpha Beta Gamma Delta",
         "a short name loses exactly its last word"},
        {"Velmora PostScript to JPEG Converter for the Desktop Edition",
         "Velmora PostScript to JPEG Converter for", "until 40 characters or fewer; 40 stays"},
        {"Averyveryveryveryveryveryveryverylongsingleword",
         "Averyveryveryveryveryveryveryverylongsingleword", "the title is never empty"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ApplicationTitleFor(QString::fromUtf8(row.stored)), row.read) << row.reason;
    }
}

} // namespace
