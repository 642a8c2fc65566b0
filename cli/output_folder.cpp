#include "cli/output_folder.h"

#include <QDir>

#include <filesystem>
#include <system_error>

namespace velmora {

std::optional<QString> MakeOutputFolder(const QString& folder) {
    std::error_code error;
    const std::filesystem::path path = QDir(folder).filesystemAbsolutePath();
    std::filesystem::create_directories(path, error);
    if (std::filesystem::is_directory(path)) {
        return std::nullopt;
    }
    // A file of that name is there: nothing was made, and nothing said why.
    if (!error) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    return QString::fromLocal8Bit(error.message());
}

} // namespace velmora
