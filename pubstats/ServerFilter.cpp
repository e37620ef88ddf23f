#include "ServerFilter.h"

#include "SingleByteText.h"
#include "TrackNaming.h"

QByteArray FoldCaseBlind(QByteArrayView text) {
    QByteArray folded(text.data(), text.size());
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + ('a' - 'A'));
    }
    return folded;
}

QList<QByteArray> FilterWords(QByteArrayView field) {
    QList<QByteArray> words;
    for (const QByteArrayView word :
         QByteArray::fromRawData(field.data(), field.size()).split(' ')) {
        if (!word.isEmpty())
            words.append(FoldCaseBlind(word));
    }
    return words;
}

QByteArray FilterText(const HostRecord& host, QByteArrayView trackName, QByteArrayView carsText) {
    QByteArray text;
    text.reserve(host.name.size() + trackName.size() + carsText.size() + 80 + host.racerCount * 12);
    const auto part = [&text](QByteArrayView bytes) {
        text += bytes;
        text += '\n';
    };
    part(host.name);
    part(trackName);
    part(carsText);
    part(AllowedCarCodes(host));
    for (qsizetype i = 0; i < host.racerCount; ++i)
        part(TrimmedView(host.racerSlot(i)));
    return FoldCaseBlind(text);
}

bool MatchesWords(QByteArrayView filterText, const QList<QByteArray>& words) {
    for (const QByteArray& word : words) {
        if (!filterText.contains(word))
            return false;
    }
    return true;
}

bool PassesStandingFilters(const HostRecord& host, bool hasMate, bool favourite,
                           const ServerFilterOptions& options) {
    if (hasMate)
        return true;
    if (options.hideEmpty && host.racerCount == 0)
        return false;
    if (options.hideFull && host.racerCount >= host.maxPlayers())
        return false;
    if (options.hidePrivate && host.isPrivate())
        return false;
    return !options.onlyFavouritesAndMates || favourite;
}
