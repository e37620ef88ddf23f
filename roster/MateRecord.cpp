#include "MateRecord.h"

#include "SingleByteText.h"

#include <QtGlobal>

namespace {

constexpr qsizetype LfsNameOffset = 0;
constexpr qsizetype NickOffset = 25;
constexpr qsizetype TeamOffset = 76;
constexpr qsizetype HomepageOffset = 127;

void putField(QByteArray& bytes, qsizetype offset, qsizetype capacity, QByteArrayView text) {
    const qsizetype length = qMin(text.size(), capacity);
    bytes[offset] = static_cast<char>(length);
    bytes.replace(offset + 1, length, text.first(length).toByteArray());
}

} // namespace

MateRecord::MateRecord() : m_bytes(Size, '\0') {}

MateRecord MateRecord::fromBytes(QByteArrayView bytes) {
    Q_ASSERT(bytes.size() == Size);
    QByteArray copy = bytes.first(qMin(bytes.size(), Size)).toByteArray();
    copy.resize(Size, '\0');
    return MateRecord(std::move(copy));
}

MateRecord MateRecord::make(QByteArrayView lfsName, QByteArrayView nick, QByteArrayView team,
                            QByteArrayView homepage) {
    MateRecord record;
    putField(record.m_bytes, LfsNameOffset, LfsNameMax, lfsName);
    putField(record.m_bytes, NickOffset, NickMax, nick);
    putField(record.m_bytes, TeamOffset, TeamMax, team);
    putField(record.m_bytes, HomepageOffset, HomepageMax, homepage);
    return record;
}

QByteArray MateRecord::field(qsizetype offset, qsizetype capacity) const {
    // A length byte beyond the field (a damaged file) must not read into the next one.
    const qsizetype length = qMin<qsizetype>(static_cast<quint8>(m_bytes.at(offset)), capacity);
    return m_bytes.mid(offset + 1, length);
}

QByteArray MateRecord::lfsName() const {
    return field(LfsNameOffset, LfsNameMax);
}
QByteArray MateRecord::nick() const {
    return field(NickOffset, NickMax);
}
QByteArray MateRecord::team() const {
    return field(TeamOffset, TeamMax);
}
QByteArray MateRecord::homepage() const {
    return field(HomepageOffset, HomepageMax);
}

QByteArray MateRecord::displayName() const {
    const QByteArray n = nick();
    return n.isEmpty() ? lfsName() : n;
}

QByteArray MateRecord::trimmedDisplayName() const {
    const QByteArray n = TrimBytes(nick());
    return n.isEmpty() ? TrimBytes(lfsName()) : n;
}
