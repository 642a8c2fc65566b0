#include "cli/shard.h"

namespace velmora {

std::optional<Shard> Shard::parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 2) {
        return std::nullopt;
    }
    bool indexOk = false;
    bool countOk = false;
    const Shard shard{parts[0].toInt(&indexOk), parts[1].toInt(&countOk)};
    if (!indexOk || !countOk || shard.count < 1 || shard.index < 1 || shard.index > shard.count) {
        return std::nullopt;
    }
    return shard;
}

QStringList Shard::take(const QStringList& inputs) const {
    QStringList part;
    for (qsizetype i = index - 1; i < inputs.size(); i += count) {
        part.append(inputs.at(i));
    }
    return part;
}

} // namespace velmora
