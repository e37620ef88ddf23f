#include "QuillonPubStats.h"

#include "SingleByteText.h"

void QuillonPubStats::touch() {
    ++m_revision;
    Q_EMIT changed();
}

void QuillonPubStats::assign(QStringList groups, QList<MateEntry> mates) {
    if (groups == m_groups && mates == m_mates)
        return;
    m_groups = std::move(groups);
    m_mates = std::move(mates);
    touch();
}

void QuillonPubStats::appendGroup(const QString& name) {
    m_groups.append(name);
    touch();
}

void QuillonPubStats::removeGroup(const QString& name) {
    m_groups.removeOne(name);
    const QString entryGroup = name.left(MateEntry::GroupNameMax);
    m_mates.removeIf([&](const MateEntry& e) { return e.group == entryGroup; });
    touch();
}

void QuillonPubStats::appendMate(MateEntry entry) {
    m_mates.append(std::move(entry));
    touch();
}

void QuillonPubStats::setMates(QList<MateEntry> mates) {
    m_mates = std::move(mates);
    touch();
}

void QuillonPubStats::RemoveMate(const MateEntry& entry) {
    const int index = FindMateIndex(entry.group, entry.record);
    if (index < 0)
        return;
    m_mates.removeAt(index);
    touch();
}

void QuillonPubStats::setRecord(int index, const MateRecord& record) {
    m_mates[index].record = record;
    touch();
}

int QuillonPubStats::FindMateIndex(const QString& group, const MateRecord& record) const {
    const QByteArray lfsName = record.lfsName();
    for (qsizetype i = 0; i < m_mates.size(); ++i) {
        const MateEntry& entry = m_mates.at(i);
        if (entry.group == group && entry.record.lfsName() == lfsName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const {
    for (qsizetype i = 0; i < m_mates.size(); ++i) {
        const MateEntry& entry = m_mates.at(i);
        if (entry.group == group && TrimmedView(entry.record.lfsName()) == trimmedLfsName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMate(QByteArrayView displayName, const QString& group) const {
    for (qsizetype i = 0; i < m_mates.size(); ++i) {
        const MateEntry& entry = m_mates.at(i);
        if (entry.group == group && entry.record.displayName() == displayName)
            return int(i);
    }
    return -1;
}
