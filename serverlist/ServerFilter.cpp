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

QByteArray FilterCarsAndTrack(const HostRecord& host, QByteArrayView trackName,
                              QByteArrayView carsText) {
    const QByteArray codes = AllowedCarCodes(host);
    QByteArray text;
    for (const QByteArrayView part : {trackName, carsText, QByteArrayView(codes)}) {
        text += part;
        text += '\n';
    }
    return FoldCaseBlind(text);
}

QByteArray FilterMateText(QByteArrayView displayName, const QStringList& groups) {
    QByteArray text(displayName.data(), displayName.size());
    text += '\n';
    for (const QString& group : groups) {
        text += FromDisplay(group);
        text += '\n';
    }
    return FoldCaseBlind(text);
}

QByteArray FilterText(const HostRecord& host, QByteArrayView sharedPart) {
    QByteArray text;
    text.reserve(host.name.size() + sharedPart.size() + 1 + host.racerCount * 12);
    text += host.name;
    text += '\n';
    for (qsizetype i = 0; i < host.racerCount; ++i) {
        text += TrimmedView(host.racerSlot(i));
        text += '\n';
    }
    text = FoldCaseBlind(text);
    text += sharedPart; // folded already
    return text;
}

QByteArray FilterText(const HostRecord& host, QByteArrayView trackName, QByteArrayView carsText) {
    return FilterText(host, FilterCarsAndTrack(host, trackName, carsText));
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
