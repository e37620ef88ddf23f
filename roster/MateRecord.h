#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The fixed 383-byte record of a mate, as it stands in a profile file: four
// length-prefixed fields (LFS name, nick, team, homepage). Filler bytes of records
// read from a file are kept as they are and written back unchanged.
class MateRecord {
public:
    static constexpr qsizetype Size = 383;
    static constexpr qsizetype LfsNameMax = 24;
    static constexpr qsizetype NickMax = 50;
    static constexpr qsizetype TeamMax = 50;
    static constexpr qsizetype HomepageMax = 255;

    MateRecord(); // zero-filled, all fields empty
    // Exactly Size bytes are required.
    static MateRecord fromBytes(QByteArrayView bytes);
    // Zero-filled record from typed text; each text is cut to its field's maximum.
    static MateRecord make(QByteArrayView lfsName, QByteArrayView nick, QByteArrayView team,
                           QByteArrayView homepage);

    QByteArray lfsName() const;
    QByteArray nick() const;
    QByteArray team() const;
    QByteArray homepage() const;
    const QByteArray& bytes() const { return m_bytes; }

    // The nick as stored when its length is not 0, otherwise the LFS name as stored.
    QByteArray displayName() const;
    // The nick trimmed, or, when that leaves nothing, the LFS name trimmed.
    QByteArray trimmedDisplayName() const;

    bool operator==(const MateRecord& other) const { return m_bytes == other.m_bytes; }

private:
    explicit MateRecord(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    QByteArray field(qsizetype offset, qsizetype capacity) const;
    QByteArray m_bytes;
};

// A mate of one group: the group name (at most 50 characters) and the record.
struct MateEntry {
    static constexpr qsizetype GroupNameMax = 50;
    QString group;
    MateRecord record;

    static MateEntry make(const QString& group, const MateRecord& record) {
        return MateEntry{group.left(GroupNameMax), record};
    }
    bool operator==(const MateEntry&) const = default;
};
