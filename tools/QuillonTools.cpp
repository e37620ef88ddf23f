#include "QuillonTools.h"

#include "SingleByteText.h"

#include <QFile>
#include <QFileInfo>

QByteArray StripColorCodes(QByteArrayView text) {
    // Runs for every coloured host name of a refresh: written through a pointer into a
    // buffer that cannot grow, as the result is never longer than the input.
    QByteArray out(text.size(), Qt::Uninitialized);
    char* w = out.data();
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char c = *p;
        if (c != '^') {
            *w++ = c;
            ++p;
            continue;
        }
        if (p + 1 >= end)
            break; // a caret at the end is dropped
        const char next = p[1];
        if (next >= '0' && next <= '8') {
            p += 2;
        } else if (next == 'a') {
            *w++ = '*';
            p += 2;
        } else if (next == 'v') {
            *w++ = '|';
            p += 2;
        } else {
            *w++ = '^'; // the next character is looked at on its own
            ++p;
        }
    }
    out.truncate(w - out.constData());
    return out;
}

bool IsAllowedChar(QChar c, int mode) {
    const char16_t u = c.unicode();
    const bool control = u == 8 || u == 9 || u == 13;
    switch (mode) {
    case 0:
        return control || (u >= '0' && u <= '9');
    case 1:
        return control || (u >= '0' && u <= '9') || u == '.';
    case 2:
        for (char f : ForbiddenFileNameChars)
            if (u == static_cast<char16_t>(f))
                return false;
        return true;
    default:
        return false;
    }
}

QByteArray ExtractField(QByteArrayView text, int n, char separator) {
    if (n < 1)
        return {};
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype sep = text.indexOf(separator, start);
        if (sep < 0)
            return {};
        start = sep + 1;
    }
    qsizetype end = text.indexOf(separator, start);
    if (end < 0)
        end = text.size();
    return text.sliced(start, end - start).toByteArray();
}

QString ReplaceChar(const QString& text, QChar from, QChar to) {
    QString out = text;
    out.replace(from, to);
    return out;
}

namespace {

// The version block of an executable: a marker, then NUL-terminated key/value pairs,
// then the end marker. The marker is assembled at run time so that this parser's own
// code holds no second copy of it.
QByteArray blockMarker(const char* tail) {
    QByteArray m("\x01");
    m += "PELMARK";
    m += tail;
    m += '\x01';
    return m;
}

void assign(TFileVersionInfo& info, QByteArrayView key, const QString& value) {
    struct Slot {
        const char* name;
        QString TFileVersionInfo::*field;
    };
    static const Slot slots[] = {
        {"CompanyName", &TFileVersionInfo::CompanyName},
        {"FileDescription", &TFileVersionInfo::FileDescription},
        {"FileVersion", &TFileVersionInfo::FileVersion},
        {"InternalName", &TFileVersionInfo::InternalName},
        {"LegalCopyRight", &TFileVersionInfo::LegalCopyRight},
        {"LegalTradeMarks", &TFileVersionInfo::LegalTradeMarks},
        {"OriginalFileName", &TFileVersionInfo::OriginalFileName},
        {"ProductName", &TFileVersionInfo::ProductName},
        {"ProductVersion", &TFileVersionInfo::ProductVersion},
        {"Comments", &TFileVersionInfo::Comments},
        {"SpecialBuild", &TFileVersionInfo::SpecialBuild},
        {"PrivateBuild", &TFileVersionInfo::PrivateBuild},
    };
    for (const Slot& s : slots) {
        if (key.compare(QByteArrayView(s.name), Qt::CaseInsensitive) == 0) {
            if ((info.*(s.field)).isEmpty())
                info.*(s.field) = value;
            return;
        }
    }
}

} // namespace

TFileVersionInfo ParseFileVersionInfo(QByteArrayView bytes) {
    TFileVersionInfo info;
    const QByteArray begin = blockMarker("-VERSIONINFO");
    const QByteArray end = blockMarker("-VERSIONEND");
    const qsizetype start = bytes.indexOf(begin);
    if (start < 0)
        return info;
    const qsizetype first = start + begin.size();
    const qsizetype stop = bytes.indexOf(end, first);
    if (stop < 0)
        return info;
    QByteArrayView block = bytes.sliced(first, stop - first);
    // key\0value\0key\0value\0...
    while (!block.isEmpty()) {
        const qsizetype keyEnd = block.indexOf('\0');
        if (keyEnd < 0)
            break;
        const QByteArrayView key = block.first(keyEnd);
        block = block.sliced(keyEnd + 1);
        const qsizetype valueEnd = block.indexOf('\0');
        if (valueEnd < 0)
            break;
        assign(info, key, QString::fromUtf8(block.first(valueEnd)));
        block = block.sliced(valueEnd + 1);
    }
    info.fileKind = QStringLiteral("Application");
    return info;
}

TFileVersionInfo ReadFileVersionInfo(const QString& path) {
    TFileVersionInfo info;
    QFileInfo fi(path);
    if (!fi.isFile())
        return info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return info;
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (mapped) {
        info = ParseFileVersionInfo(
            QByteArrayView(reinterpret_cast<const char*>(mapped), static_cast<qsizetype>(size)));
        file.unmap(const_cast<uchar*>(mapped));
    } else {
        info = ParseFileVersionInfo(file.readAll());
    }
    info.typeName = fi.isExecutable() ? QStringLiteral("Application") : QString();
    return info;
}
