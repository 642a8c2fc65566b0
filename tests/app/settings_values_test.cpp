#include "app/settings_values.h"
#include "app/startup_helpers.h"
#include "base/failure.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;

namespace {

struct QualityRow {
    const char* stored;
    std::optional<int> quality; // nullopt: the slider refuses it
    const char* reason;
};

struct TruthRow {
    const char* stored;
    std::optional<bool> truth; // nullopt: not a truth value
    const char* reason;
};

} // namespace

TEST(SettingsValues, QualityIsTheLeadingNumberRoundedHalfToEven) {
    const QualityRow rows[] = {
        {"75", 75, "plain whole number"},
        {"80abc", 80, "letters after the number are ignored"},
        {"abc", 0, "no leading number reads as 0"},
        {"", 0, "empty text reads as 0"},
        {"50.5", 50, "a half goes to the even neighbour below"},
        {"51.5", 52, "a half goes to the even neighbour above"},
        {"50.51", 51, "more than a half rounds up"},
        {"99.5", 100, "rounds onto the upper end"},
        {"100.5", 100, "a half above 100 rounds back to the even 100"},
        {"  42", 42, "leading blanks are skipped"},
        {"+7", 7, "an explicit sign"},
        {"-0.4", 0, "a small negative rounds to zero"},
        {".5", 0, "a fraction alone is a number; half goes to 0"},
        {"1e2", 100, "an exponent is part of the number"},
        {"2e", 2, "an exponent without digits is not read"},
        {"1,5", 1, "the comma is no decimal mark in the store"},
        {"100.6", std::nullopt, "rounds to 101, outside the slider"},
        {"-1", std::nullopt, "below the slider's range"},
        {"1e400", std::nullopt, "overflow is out of range, not a crash"},
    };
    for (const QualityRow& row : rows) {
        SCOPED_TRACE(row.reason);
        const QString stored = QString::fromUtf8(row.stored);
        if (row.quality) {
            EXPECT_EQ(QualityFromText(stored), *row.quality) << row.stored;
        } else {
            try {
                QualityFromText(stored);
                ADD_FAILURE() << row.stored << " was accepted";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.number(), 380);
            }
        }
    }
}

TEST(SettingsValues, TruthWordsInAnyCaseOrNumbers) {
    const TruthRow rows[] = {
        {"True", true, "the word as written"},
        {"tRUE", true, "any letter case"},
        {"FALSE", false, "any letter case"},
        {" False ", false, "blanks around the word"},
        {"1", true, "the default of Option1 as stored text"},
        {"0", false, "the default of Option2 as stored text"},
        {"-1", true, "any number other than 0"},
        {"0.0", false, "zero written with a fraction"},
        {"2.5", true, "a fraction other than zero"},
        {"maybe", std::nullopt, "neither a word nor a number"},
        {"", std::nullopt, "empty text"},
        {"1abc", std::nullopt, "a number followed by letters"},
        {"Truely", std::nullopt, "a longer word"},
    };
    for (const TruthRow& row : rows) {
        SCOPED_TRACE(row.reason);
        const QString stored = QString::fromUtf8(row.stored);
        if (row.truth) {
            EXPECT_EQ(TruthFromText(stored), *row.truth) << row.stored;
        } else {
            try {
                TruthFromText(stored);
                ADD_FAILURE() << row.stored << " was accepted";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.number(), 13);
            }
        }
    }
    EXPECT_EQ(TruthText(true), QStringLiteral("True"));
    EXPECT_EQ(TruthText(false), QStringLiteral("False"));
}

TEST(SettingsValues, ApplicationTitleCutsWordsFromTheEnd) {
    const struct {
        const char* product;
        const char* title;
        const char* reason;
    } rows[] = {
        {"Velmora", "Velmora", "a single word keeps it"},
        {"Alpha Beta Gamma Delta Epsilon", "Alpha Beta Gamma Delta",
         "a short name loses exactly its last word"},
        {"Velmora PostScript to JPEG Converter for the Desktop Edition",
         "Velmora PostScript to JPEG Converter for", "cut until 40 characters or fewer; 40 stays"},
        {"Averyveryveryveryveryveryveryverylongsingleword",
         "Averyveryveryveryveryveryveryverylongsingleword",
         "a long single word is kept, the title is never empty"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        EXPECT_EQ(ApplicationTitleFor(QString::fromUtf8(row.product)),
                  QString::fromUtf8(row.title));
    }
}
