#include "convert/pdf_stages.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(JpegScript, TextPerStyleAndQuality) {
    struct Row {
        PathStyle style;
        int quality;
        const char* text;
    } rows[] = {
        {PathStyle::Windows, 75,
         "gswin32c -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE "
         "-sOutputFile=current-%%03d.jpg -r300 current.pdf\r\ndel current.pdf"},
        {PathStyle::Windows, 90,
         "gswin32c -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=90 -dDOINTERPOLATE "
         "-sOutputFile=current-%%03d.jpg -r300 current.pdf\r\ndel current.pdf"},
        {PathStyle::Posix, 75,
         "gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE "
         "-sOutputFile=current-%03d.jpg -r300 current.pdf\nrm -f current.pdf"},
        {PathStyle::Posix, 90,
         "gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=90 -dDOINTERPOLATE "
         "-sOutputFile=current-%03d.jpg -r300 current.pdf\nrm -f current.pdf"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(JpegScriptText(row.quality, row.style), QString::fromLatin1(row.text));
    }
    EXPECT_EQ(JpegScriptName(PathStyle::Windows), QStringLiteral("pdf2tiff.bat"));
    EXPECT_EQ(JpegScriptName(PathStyle::Posix), QStringLiteral("pdf2tiff.sh"));
    EXPECT_EQ(PsToPdfScriptName(PathStyle::Windows), QStringLiteral("pstopdf.bat"));
    EXPECT_EQ(PsToPdfScriptName(PathStyle::Posix), QStringLiteral("pstopdf.sh"));
}
