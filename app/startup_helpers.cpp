#include "app/startup_helpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

namespace {

QString& applicationTitleStore() {
    static QString title;
    return title;
}

QString withTrailingSeparator(const QString& folder) {
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

QString ProductName() {
    return QStringLiteral("Velmora");
}

QString DesktopEntryId() {
    return QStringLiteral("app.velmora.Velmora");
}

QString HomePageAddress() {
    return QStringLiteral("https://velmora.app/");
}

QString ApplicationTitleFor(const QString& productName) {
    constexpr qsizetype kLongestTitle = 40;
    QString title = productName;
    do {
        const qsizetype space = title.lastIndexOf(QLatin1Char(' '));
        if (space < 1) {
            break; // one word left: keep it
        }
        title.truncate(space);
    } while (title.size() > kLongestTitle);
    return title;
}

void SetApplicationTitle() {
    applicationTitleStore() = ApplicationTitleFor(ProductName());
}

QString ApplicationTitle() {
    const QString& title = applicationTitleStore();
    if (!title.isEmpty()) {
        return title;
    }
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? ProductName() : name;
}

QString GetDesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir()) {
        return withTrailingSeparator(desktop);
    }
    return withTrailingSeparator(QDir::homePath());
}

bool PathExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

} // namespace velmora
