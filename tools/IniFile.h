#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

// An INI text in memory, read with the private-profile rules: section and key names
// matched without regard to case, blanks around names and values ignored, one pair
// of enclosing quotes removed from a value. The first matching section and key win.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray content) : m_content(std::move(content)) {}

    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    const QByteArray& content() const { return m_content; }

    // Replaces the key's line, or adds the key at the end of its section, or adds the
    // section at the end. Every other byte of the text stays as it was.
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

private:
    QByteArray m_content;
};

// An INI file on disk. Each call opens the file, does its work and closes it again,
// so every write reaches the file at once and nothing is cached between calls (but for
// the reads of a snapshot, which the caller asks for).
class IniFile {
public:
    static constexpr qsizetype MaxStringLength = 2047;
    // Far beyond any settings file the program writes; a larger one is not ours, and
    // reading it at every look-up would cost more than it is worth.
    static constexpr qint64 MaxSettingsBytes = 1024 * 1024;

    explicit IniFile(QString path) : m_path(std::move(path)) {}
    // The file as it is now, for many look-ups in a row: its reads take this one reading
    // instead of opening the file each time; writes still go to the file at once.
    static IniFile snapshot(QString path);
    const QString& path() const { return m_path; }

    // A missing file, section or key gives the default; reading never fails. A file that
    // is no regular file or is larger than MaxSettingsBytes reads as missing.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;

    // Throws PelmarkError "In %s kann nicht geschrieben werden" when the file cannot
    // be written, or exists and cannot be read as a settings file (see above).
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint64 value);

    // The whole file for repeated look-ups (Tracks.data); empty when unreadable, no
    // regular file or larger than maxBytes.
    IniDocument load(qint64 maxBytes = MaxSettingsBytes) const;

private:
    const IniDocument& document(IniDocument& scratch) const;

    QString m_path;
    std::shared_ptr<const IniDocument> m_snapshot;
};

// Decimal text, or hexadecimal text after "0x"; anything else gives nothing.
std::optional<qint32> ParseIniInteger(QByteArrayView text);
