#include "ServerList.h"

#include "HostListDecoder.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

#include <QTreeWidget>

namespace {
char16_t upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}
} // namespace

int CompareCaseBlind(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = upper(a[i].unicode());
        const char16_t cb = upper(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool ServerRow::operator<(const QTreeWidgetItem& other) const {
    const QTreeWidget* list = treeWidget();
    int column = list ? list->sortColumn() : 0;
    if (column < 0 || column >= ColumnCount)
        column = 0; // a hand-edited settings file may hold anything
    return CompareCaseBlind(text(column), other.text(column)) < 0;
}

QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks) {
    return {ToDisplay(host.name),
            ToDisplay(VersionText(host)),
            ToDisplay(tracks.TrackName(host)),
            ToDisplay(RulesText(host)),
            ToDisplay(CarsText(host)),
            ToDisplay(PlayersText(host)),
            QString::number(host.laps),
            QString::number(host.qualifying)};
}
