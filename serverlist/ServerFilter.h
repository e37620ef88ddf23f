#pragma once

#include "HostRecord.h"
#include "ServerFilterOptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

// Letters A to Z as a to z, every other byte as it is: the case rule of the sort.
QByteArray FoldCaseBlind(QByteArrayView text);

// The filter field's words: split at blanks, folded; empty words dropped.
QList<QByteArray> FilterWords(QByteArrayView field);

// What a row is searched in, folded, one part per line: the host name, the track name,
// the car-set text, the allowed car codes and every racer's name.
QByteArray FilterText(const HostRecord& host, QByteArrayView trackName, QByteArrayView carsText);
// The same text from its part that many hosts share (track, car-set text and car codes, as
// FilterCarsAndTrack makes it) and the host's own name and racers.
QByteArray FilterText(const HostRecord& host, QByteArrayView sharedPart);
QByteArray FilterCarsAndTrack(const HostRecord& host, QByteArrayView trackName,
                              QByteArrayView carsText);
// A mate's part of his host's text: his display name and his groups (as Latin-1), folded,
// one per line, so that a word finds the host of the mate it names.
QByteArray FilterMateText(QByteArrayView displayName, const QStringList& groups);

// Every word occurs in the row's text (a part of a word is enough); no words match all.
bool MatchesWords(QByteArrayView filterText, const QList<QByteArray>& words);
// The same answer as MatchesWords on the text FilterText(host, sharedPart) + matePart
// would make, without making it: a refresh with words in the field filters every new
// row once, and building each row's text cost more than the search.
bool HostMatchesWords(const HostRecord& host, QByteArrayView sharedPart, QByteArrayView matePart,
                      const QList<QByteArray>& words);

// The standing filters' rule. A host on which a mate races is never hidden by them.
bool PassesStandingFilters(const HostRecord& host, bool hasMate, bool favourite,
                           const ServerFilterOptions& options, bool recent = false);
