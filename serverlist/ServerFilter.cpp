#include "ServerFilter.h"

#include "SingleByteText.h"
#include "TrackNaming.h"

#include <cstring>

namespace {

char folded(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

void foldInPlace(QByteArray& text) {
    for (char& c : text)
        c = folded(c);
}

} // namespace

QByteArray FoldCaseBlind(QByteArrayView text) {
    QByteArray made(text.data(), text.size());
    foldInPlace(made);
    return made;
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
    // Room for the longest text at once: growing it step by step cost more than filling it.
    text.reserve(host.name.size() + 1 + host.racerCount * (HostRecord::RacerNameSize + 1) +
                 sharedPart.size());
    text += host.name;
    text += '\n';
    for (qsizetype i = 0; i < host.racerCount; ++i) {
        text += TrimmedView(host.racerSlot(i));
        text += '\n';
    }
    foldInPlace(text);
    text += sharedPart; // folded already
    return text;
}

QByteArray FilterText(const HostRecord& host, QByteArrayView trackName, QByteArrayView carsText) {
    return FilterText(host, FilterCarsAndTrack(host, trackName, carsText));
}

namespace {

// Whether `word` occurs in `text`. Thousands of rows are searched at each keystroke, for
// a few letters in a few hundred bytes: a scan for the first byte, then a compare, costs
// a fraction of a general search's set-up.
bool containsWord(QByteArrayView text, QByteArrayView word) {
    if (word.isEmpty())
        return true;
    if (word.size() > text.size())
        return false;
    const char* at = text.data();
    const char* const last = text.data() + (text.size() - word.size());
    while (at <= last) {
        const void* hit = std::memchr(at, word.front(), size_t(last - at + 1));
        if (!hit)
            return false;
        at = static_cast<const char*>(hit);
        if (std::memcmp(at + 1, word.data() + 1, size_t(word.size() - 1)) == 0)
            return true;
        ++at;
    }
    return false;
}

// Whether the folded `word` occurs in `text` once its letters A to Z are folded.
bool containsFoldedWord(QByteArrayView text, QByteArrayView word) {
    if (word.isEmpty())
        return true;
    const qsizetype last = text.size() - word.size();
    for (qsizetype i = 0; i <= last; ++i) {
        if (folded(text[i]) != word[0])
            continue;
        qsizetype j = 1;
        while (j < word.size() && folded(text[i + j]) == word[j])
            ++j;
        if (j == word.size())
            return true;
    }
    return false;
}

} // namespace

bool HostMatchesWords(const HostRecord& host, QByteArrayView sharedPart, QByteArrayView matePart,
                      const QList<QByteArray>& words) {
    for (const QByteArray& word : words) {
        // The made text's parts stand on lines of their own, so only a word with a line
        // break in it could span two of them.
        if (word.contains('\n')) {
            QByteArray text = FilterText(host, sharedPart);
            text += matePart;
            return MatchesWords(text, words);
        }
    }
    for (const QByteArray& word : words) {
        bool found = containsFoldedWord(host.name, word) || containsWord(sharedPart, word) ||
                     containsWord(matePart, word);
        for (qsizetype i = 0; !found && i < host.racerCount; ++i)
            found = containsFoldedWord(TrimmedView(host.racerSlot(i)), word);
        if (!found)
            return false;
    }
    return true;
}

bool MatchesWords(QByteArrayView filterText, const QList<QByteArray>& words) {
    for (const QByteArray& word : words) {
        if (!containsWord(filterText, word))
            return false;
    }
    return true;
}

bool PassesStandingFilters(const HostRecord& host, bool hasMate, bool favourite,
                           const ServerFilterOptions& options, bool recent) {
    if (hasMate)
        return true;
    if (options.hideEmpty && host.racerCount == 0)
        return false;
    if (options.hideFull && host.racerCount >= host.maxPlayers())
        return false;
    if (options.hidePrivate && host.isPrivate())
        return false;
    if (options.onlyFavouritesRecentAndMates && !favourite && !recent)
        return false;
    return !options.onlyFavouritesAndMates || favourite;
}
