#pragma once

#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

// Root is never denied a folder, and CI runs as root: while this object
// lives, root acts as "nobody", to whom the folders of `tree` its owner may
// enter are opened; those the test closed stay closed.
class UnprivilegedUser {
public:
    explicit UnprivilegedUser(const QString& tree) : m_wasRoot(::geteuid() == 0) {
        if (!m_wasRoot) {
            return;
        }
        QDirIterator below(tree,
                           QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                           QDirIterator::Subdirectories);
        for (QString folder = tree; !folder.isEmpty();
             folder = below.hasNext() ? below.next() : QString()) {
            if (QFile::permissions(folder).testFlag(QFile::ExeOwner)) {
                ::chmod(QFile::encodeName(folder).constData(), 0755);
            }
        }
        m_dropped = ::seteuid(kNobody) == 0;
    }
    ~UnprivilegedUser() {
        if (m_dropped) {
            (void)::seteuid(0);
        }
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

    // False only where root could not become another user.
    bool denies() const { return !m_wasRoot || m_dropped; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_wasRoot;
    bool m_dropped = false;
};

} // namespace velmora::test
