#pragma once

#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

// Root is never denied a folder, and CI runs as root: for as long as this
// object lives, a test run by root acts as an ordinary user, so a folder
// without permissions is denied to it as to anyone. `openedUp` (the test's
// own temporary tree, which root made private) is opened to that user.
class UnprivilegedUser {
public:
    explicit UnprivilegedUser(const QString& openedUp) : m_wasRoot(::geteuid() == 0) {
        if (m_wasRoot) {
            ::chmod(QFile::encodeName(openedUp).constData(), 0755);
            m_dropped = ::seteuid(kNobody) == 0;
        }
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
