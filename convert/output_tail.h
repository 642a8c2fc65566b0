#pragma once

#include <QByteArray>

#include <functional>

namespace velmora {

// How much of a child's output the program keeps: the last 64 KiB.
inline constexpr qsizetype kOutputTailBytes = 64 * 1024;

// What a child printed, bounded: the last `limit` bytes are kept, and every
// complete line is handed to a reader as it arrives (a line longer than the
// limit is handed on cut), so a child that prints without end costs neither
// memory nor disk.
class OutputTail {
public:
    using LineReader = std::function<void(const QByteArray& line)>;

    explicit OutputTail(qsizetype limit, LineReader reader = {})
        : m_limit(limit), m_reader(std::move(reader)) {}

    void append(const QByteArray& data);
    // Hands on a last line that had no line break.
    void finish();

    const QByteArray& text() const { return m_text; }

private:
    qsizetype m_limit;
    LineReader m_reader;
    QByteArray m_text;
    QByteArray m_line; // the line being read
};

} // namespace velmora
