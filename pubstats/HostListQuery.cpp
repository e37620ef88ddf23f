#include "HostListQuery.h"

#include <QUrl>
#include <algorithm>

QString IdentKeyPattern() {
    return QStringLiteral("[A-Za-z0-9]{0,%1}").arg(MaxIdentKeyLength);
}

bool IsValidIdentKey(const QString& key) {
    if (key.isEmpty() || key.size() > MaxIdentKeyLength)
        return false;
    // Only ASCII: QChar::isLetterOrNumber would also let accented letters through.
    return std::all_of(key.begin(), key.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
    });
}

HostListQuery MakeHostListQuery(const QString& identKey) {
    HostListQuery result{QStringLiteral("action=hosts"), false};
    if (identKey.isEmpty())
        return result;
    if (!IsValidIdentKey(identKey)) {
        result.keyRejected = true;
        return result;
    }
    // Letters and digits need no escaping today; the encoding keeps it so if the rule widens.
    result.query +=
        QStringLiteral("&idk=") + QString::fromLatin1(QUrl::toPercentEncoding(identKey));
    return result;
}
