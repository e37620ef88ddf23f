#include "QuillonPubStats.h"

#include "ItemImages.h"
#include "SingleByteText.h"

#include <QTreeWidget>

namespace {

bool listsRacer(const HostRecord& host, QByteArrayView name) {
    for (qsizetype j = 0; j < host.racerCount; ++j) {
        if (TrimmedView(host.racerSlot(j)) == name)
            return true;
    }
    return false;
}

} // namespace

int QuillonPubStats::FindMateIndex(const QString& group, const MateRecord& record) const {
    const QByteArray lfsName = record.lfsName();
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.lfsName() == lfsName)
            return int(i);
    }
    return -1;
}

void QuillonPubStats::RemoveMate(const MateEntry& entry) {
    const int index = FindMateIndex(entry.group, entry.record);
    if (index >= 0)
        mates.removeAt(index);
}

bool QuillonPubStats::IsMateOnline(QByteArrayView name) const {
    // An empty slot is not a racer, so a blank name never matches one.
    if (name.isEmpty())
        return false;
    for (const HostRecord& host : hosts) {
        if (host.isS1OrS2() && listsRacer(host, name))
            return true;
    }
    return false;
}

int QuillonPubStats::FindMateByDisplayName(QByteArrayView displayName) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        if (mates.at(i).record.displayName() == displayName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMate(QByteArrayView displayName, const QString& group) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.displayName() == displayName)
            return int(i);
    }
    return -1;
}

QByteArray QuillonPubStats::FindMateHost(QByteArrayView displayName) const {
    const int index = FindMateByDisplayName(displayName);
    if (index < 0)
        return {};
    const QByteArray lfsName = mates.at(index).record.lfsName();
    if (lfsName.isEmpty())
        return {};
    // Every version type counts here: a join can still use a host the matching skips.
    QByteArray found;
    for (const HostRecord& host : hosts) {
        if (listsRacer(host, lfsName))
            found = host.name;
    }
    return found;
}

bool QuillonPubStats::HostNeedsPassword(QByteArrayView hostName) const {
    for (const HostRecord& host : hosts) {
        if (host.name == hostName)
            return host.isPrivate();
    }
    return false;
}

MateMatcher::MateMatcher(const QuillonPubStats& stats) : m_stats(stats) {
    for (const MateEntry& entry : stats.mates) {
        const QByteArray name = TrimBytes(entry.record.lfsName());
        if (!name.isEmpty())
            m_racers.insert(name, Racer{});
    }
    for (const HostRecord& host : stats.hosts) {
        for (qsizetype j = 0; j < host.racerCount; ++j) {
            const QByteArrayView racer = TrimmedView(host.racerSlot(j));
            if (racer.isEmpty())
                continue;
            // A raw view as key: no copy for the many racers who are nobody's mate.
            auto it = m_racers.find(QByteArray::fromRawData(racer.data(), racer.size()));
            if (it == m_racers.end())
                continue;
            if (host.isS1OrS2())
                it->online = true;
            it->lastHost = host.name;
        }
    }
    for (qsizetype i = stats.mates.size() - 1; i >= 0; --i)
        m_firstByDisplayName.insert(stats.mates.at(i).record.displayName(), int(i));
}

bool MateMatcher::IsMateOnline(QByteArrayView name) const {
    const auto it = m_racers.constFind(name.toByteArray());
    if (it != m_racers.constEnd())
        return it->online;
    return m_stats.IsMateOnline(name); // not a mate's name: the plain scan answers
}

QByteArray MateMatcher::FindMateHost(QByteArrayView displayName) const {
    const int index = m_firstByDisplayName.value(displayName.toByteArray(), -1);
    if (index < 0)
        return {};
    // Keys are trimmed: an LFS name with blanks around it finds no host, as in the scan.
    return m_racers.value(m_stats.mates.at(index).record.lfsName()).lastHost;
}

namespace {
// The key of a case-blind caption match: the same per-character folding as
// QString::compare with Qt::CaseInsensitive.
QString foldedCaption(const QString& caption) {
    QString folded = caption;
    for (QChar& c : folded)
        c = c.toCaseFolded();
    return folded;
}
} // namespace

void MateMatcher::MarkMateHost(QTreeWidget* lvServer, QByteArrayView hostName,
                               const QList<QIcon>& serverImages) const {
    if (!lvServer || hostName.isEmpty())
        return;
    if (m_indexedList != lvServer) {
        m_indexedList = lvServer;
        m_firstRowByCaption.clear();
        // Backwards, so that the first row of equal captions is the one that stays.
        for (int i = lvServer->topLevelItemCount() - 1; i >= 0; --i) {
            QTreeWidgetItem* row = lvServer->topLevelItem(i);
            m_firstRowByCaption.insert(foldedCaption(row->text(0)), row);
        }
    }
    if (QTreeWidgetItem* row = m_firstRowByCaption.value(foldedCaption(ToDisplay(hostName))))
        SetItemImage(row, 2, serverImages);
}

void MarkMateHost(QTreeWidget* lvServer, QByteArrayView hostName,
                  const QList<QIcon>& serverImages) {
    if (!lvServer || hostName.isEmpty())
        return;
    const QString caption = ToDisplay(hostName);
    for (int i = 0; i < lvServer->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = lvServer->topLevelItem(i);
        if (row->text(0).compare(caption, Qt::CaseInsensitive) == 0) {
            SetItemImage(row, 2, serverImages);
            return;
        }
    }
}
