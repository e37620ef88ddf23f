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

void ServerRow::setTexts(const QStringList& texts) {
    for (int column = 0; column < texts.size(); ++column)
        setText(column, texts.at(column));
}

QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks) {
    return ServerRowTextMaker(tracks).texts(host);
}

template <typename Make>
const QString& ServerRowTextMaker::shared(int column, quint32 key, Make make) {
    const quint64 slot = (quint64(column) << 32) | key;
    auto it = m_texts.constFind(slot);
    if (it == m_texts.constEnd())
        it = m_texts.insert(slot, make());
    return *it;
}

QStringList ServerRowTextMaker::texts(const HostRecord& host) {
    const auto bytes = [](quint8 a, quint8 b = 0, quint8 c = 0, quint8 d = 0) {
        return quint32(a) | quint32(b) << 8 | quint32(c) << 16 | quint32(d) << 24;
    };
    return {ToDisplay(host.name),
            shared(1, host.versionType(), [&] { return ToDisplay(VersionText(host)); }),
            shared(2, bytes(host.track[0], host.track[1], host.track[2]),
                   [&] { return ToDisplay(m_tracks.TrackName(host)); }),
            shared(3, host.rules[0], [&] { return ToDisplay(RulesText(host)); }),
            shared(4, bytes(host.carMask[0], host.carMask[1], host.carMask[2], host.carMask[3]),
                   [&] { return ToDisplay(CarsText(host)); }),
            shared(5, bytes(host.racerCount, host.maxPlayers()),
                   [&] { return ToDisplay(PlayersText(host)); }),
            shared(6, host.laps, [&] { return QString::number(host.laps); }),
            shared(7, host.qualifying, [&] { return QString::number(host.qualifying); })};
}
