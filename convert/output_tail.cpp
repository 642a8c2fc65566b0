#include "convert/output_tail.h"

#include <algorithm>

namespace velmora {

void OutputTail::append(const QByteArray& data) {
    m_text += data;
    if (m_text.size() > m_limit) {
        m_text.remove(0, m_text.size() - m_limit);
    }
    if (!m_reader) {
        return;
    }
    qsizetype from = 0;
    for (qsizetype end = data.indexOf('\n'); end >= 0; end = data.indexOf('\n', from)) {
        m_line +=
            data.mid(from, std::max<qsizetype>(0, std::min(end - from, m_limit - m_line.size())));
        m_reader(m_line);
        m_line.clear();
        from = end + 1;
    }
    if (m_line.size() < m_limit) {
        m_line += data.mid(from, m_limit - m_line.size());
    }
}

void OutputTail::finish() {
    if (m_reader && !m_line.isEmpty()) {
        m_reader(m_line);
    }
    m_line.clear();
}

} // namespace velmora
