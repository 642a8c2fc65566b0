#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

// One of N disjoint parts of a run's inputs, so that N machines given the
// same arguments share the work without talking to each other.
struct Shard {
    int index = 1; // 1 to count
    int count = 1;

    // "K/N" with 1 <= K <= N; nullopt for anything else.
    static std::optional<Shard> parse(const QString& text);

    // The inputs of this part: every count-th one from position index on,
    // so long and short documents, which often sit together in a folder,
    // spread over the parts.
    QStringList take(const QStringList& inputs) const;
};

} // namespace velmora
