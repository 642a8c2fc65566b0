// The main() of every test executable: a QApplication (offscreen unless a
// display is named), then GoogleTest. A test that cannot run here skips with
// a one-line reason; with VELMORA_SKIP_LOG set, each reason is appended to
// that file, so the whole run can say what it did not test.
#include <QApplication>
#include <QFile>

#include <gmock/gmock.h>

namespace {

class SkipLog : public ::testing::EmptyTestEventListener {
public:
    explicit SkipLog(QString path) : m_path(std::move(path)) {}

    void OnTestEnd(const ::testing::TestInfo& test) override {
        const ::testing::TestResult& result = *test.result();
        for (int i = 0; i < result.total_part_count(); ++i) {
            const ::testing::TestPartResult& part = result.GetTestPartResult(i);
            QFile log(m_path);
            if (part.skipped() && log.open(QIODevice::Append | QIODevice::Text)) {
                // One write per line: parallel test programs append to one file.
                log.write(QStringLiteral("%1.%2: %3\n")
                              .arg(QString::fromUtf8(test.test_suite_name()),
                                   QString::fromUtf8(test.name()),
                                   QString::fromUtf8(part.message()).simplified())
                              .toUtf8());
            }
        }
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleMock(&argc, argv);
    if (const QString skipLog = qEnvironmentVariable("VELMORA_SKIP_LOG"); !skipLog.isEmpty()) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new SkipLog(skipLog));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    return RUN_ALL_TESTS();
}
