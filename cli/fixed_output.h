#pragma once

#include "convert/output_target.h"

namespace velmora {

// The command line's output choice: a folder, or beside each source.
class FixedOutput final : public OutputTarget {
public:
    explicit FixedOutput(QString folder) : m_folder(std::move(folder)) {}

    Choice choice() const override {
        return m_folder.isNull() ? Choice::BesideSource : Choice::Folder;
    }
    QString folderText() const override { return m_folder; }

private:
    QString m_folder;
};

} // namespace velmora
