#include "IniFile.h"

#include "PelmarkError.h"
#include "RegularFile.h"
#include "SafeWrite.h"
#include "SingleByteText.h"

#include <QFile>

#include <cctype>
#include <limits>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedView(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && (isBlank(v.back()) || v.back() == '\r'))
        v = v.first(v.size() - 1);
    return v;
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One line of the text: where it starts and ends (without its line break).
struct Line {
    qsizetype begin;
    qsizetype end;
};

template <typename Visit> void forEachLine(const QByteArray& text, Visit&& visit) {
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype nl = text.indexOf('\n', begin);
        qsizetype end = nl < 0 ? text.size() : nl;
        qsizetype contentEnd = (end > begin && text[end - 1] == '\r') ? end - 1 : end;
        if (!visit(Line{begin, contentEnd}))
            return;
        begin = nl < 0 ? text.size() : nl + 1;
    }
}

// The section name of a header line, or nothing when the line is no header.
std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    line = trimmedView(line);
    if (line.isEmpty() || line.front() != '[')
        return std::nullopt;
    qsizetype close = line.indexOf(']');
    QByteArrayView name = close < 0 ? line.sliced(1) : line.sliced(1, close - 1);
    return trimmedView(name);
}

struct KeyLine {
    QByteArrayView key;
    QByteArrayView value;
};

std::optional<KeyLine> keyLine(QByteArrayView line) {
    qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return KeyLine{trimmedView(line.first(eq)), trimmedView(line.sliced(eq + 1))};
}

QByteArray unquoted(QByteArrayView v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.toByteArray();
}

QByteArray oneLine(QByteArrayView value) {
    QByteArray out = value.toByteArray();
    out.replace('\r', ' ');
    out.replace('\n', ' ');
    return out;
}

} // namespace

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const {
    std::optional<QByteArray> found;
    bool inSection = false;
    bool seenSection = false;
    forEachLine(m_content, [&](Line l) {
        QByteArrayView line(m_content.constData() + l.begin, l.end - l.begin);
        if (auto name = sectionName(line)) {
            if (inSection)
                return false; // only the first matching section counts
            inSection = sameName(*name, section);
            seenSection = seenSection || inSection;
            return true;
        }
        if (inSection) {
            if (auto kl = keyLine(line); kl && sameName(kl->key, key)) {
                found = unquoted(kl->value);
                return false;
            }
        }
        return true;
    });
    return found;
}

void IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    const QByteArray eol = m_content.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    const QByteArray newLine = key.toByteArray() + '=' + oneLine(value);

    bool inSection = false;
    bool sectionFound = false;
    qsizetype replaceBegin = -1, replaceEnd = -1;
    qsizetype insertAfter = -1; // end of the last non-blank line of the section
    forEachLine(m_content, [&](Line l) {
        QByteArrayView line(m_content.constData() + l.begin, l.end - l.begin);
        if (auto name = sectionName(line)) {
            if (inSection)
                return false;
            inSection = sameName(*name, section);
            if (inSection) {
                sectionFound = true;
                insertAfter = l.end;
            }
            return true;
        }
        if (!inSection)
            return true;
        if (auto kl = keyLine(line); kl && sameName(kl->key, key)) {
            replaceBegin = l.begin;
            replaceEnd = l.end;
            return false;
        }
        if (!trimmedView(line).isEmpty())
            insertAfter = l.end;
        return true;
    });

    if (replaceBegin >= 0) {
        m_content.replace(replaceBegin, replaceEnd - replaceBegin, newLine);
    } else if (sectionFound) {
        m_content.insert(insertAfter, eol + newLine);
    } else {
        if (!m_content.isEmpty() && !m_content.endsWith('\n'))
            m_content.append(eol);
        m_content.append('[' + section.toByteArray() + ']' + eol + newLine + eol);
    }
}

std::optional<qint32> ParseIniInteger(QByteArrayView text) {
    bool ok = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        QByteArrayView digits = text.sliced(2);
        if (digits.size() > 8)
            return std::nullopt;
        for (char c : digits)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
        const quint32 v = digits.toByteArray().toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        return static_cast<qint32>(v);
    }
    qsizetype i = (text.size() > 1 && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i >= text.size())
        return std::nullopt;
    for (qsizetype j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9')
            return std::nullopt;
    const qint64 v = text.toByteArray().toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(v);
}

IniDocument IniFile::load(qint64 maxBytes) const {
    return IniDocument(ReadRegularFile(m_path, maxBytes).value_or(QByteArray()));
}

IniFile IniFile::snapshot(QString path) {
    IniFile file(std::move(path));
    file.m_snapshot = std::make_shared<const IniDocument>(file.load());
    return file;
}

const IniDocument& IniFile::document(IniDocument& scratch) const {
    if (m_snapshot)
        return *m_snapshot;
    scratch = load();
    return scratch;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    IniDocument scratch;
    auto v = document(scratch).value(FromDisplay(section), FromDisplay(key));
    if (!v)
        return defaultValue;
    return ToDisplay(QByteArrayView(*v).first(std::min(v->size(), MaxStringLength)));
}

qint32 IniFile::readInteger(const QString& section, const QString& key, qint32 defaultValue) const {
    IniDocument scratch;
    auto v = document(scratch).value(FromDisplay(section), FromDisplay(key));
    if (!v)
        return defaultValue;
    return ParseIniInteger(*v).value_or(defaultValue);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // Every other line is kept byte for byte, so a file that cannot be read whole (no
    // regular file, too large, unreadable) is not replaced.
    std::optional<QByteArray> current = ReadRegularFile(m_path, MaxSettingsBytes);
    if (!current && QFile::exists(m_path))
        throw PelmarkError(ErrorText::CannotWrite(m_path), PelmarkError::Kind::File);
    IniDocument doc(std::move(current).value_or(QByteArray()));
    doc.setValue(FromDisplay(section), FromDisplay(key), FromDisplay(value));

    if (!WriteFileSafely(m_path, doc.content(), WriteMode::InPlaceFallback))
        throw PelmarkError(ErrorText::CannotWrite(m_path), PelmarkError::Kind::File);
}

void IniFile::writeInteger(const QString& section, const QString& key, qint64 value) {
    writeString(section, key, QString::number(value));
}
