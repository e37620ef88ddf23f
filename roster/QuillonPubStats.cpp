#include "QuillonPubStats.h"

#include "SingleByteText.h"

int QuillonPubStats::FindMateIndex(const QString& group, const MateRecord& record) const {
    const QByteArray lfsName = record.lfsName();
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.lfsName() == lfsName)
            return int(i);
    }
    return -1;
}

int QuillonPubStats::FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && TrimmedView(entry.record.lfsName()) == trimmedLfsName)
            return int(i);
    }
    return -1;
}

void QuillonPubStats::RemoveMate(const MateEntry& entry) {
    const int index = FindMateIndex(entry.group, entry.record);
    if (index >= 0)
        mates.removeAt(index);
}

int QuillonPubStats::FindMate(QByteArrayView displayName, const QString& group) const {
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        if (entry.group == group && entry.record.displayName() == displayName)
            return int(i);
    }
    return -1;
}
