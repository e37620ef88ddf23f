#pragma once

#include "HostRecord.h"

// The service's refusal: a text, with no zero byte in it, that holds the five characters
// "can't".
bool IsRefusalReply(QByteArrayView reply);

enum class DecodeResult { Ok, Truncated };

// Decodes the packed host list. A reply that ends inside an entry is rejected as a
// whole (Truncated) and `hosts` is left as it was; an empty reply is an empty list.
// A single stray byte after the last entry is ignored.
DecodeResult DecodeHostList(QByteArrayView reply, HostList& hosts);

// Display texts of a host's columns.
QByteArray VersionText(const HostRecord& host);
QByteArray RulesText(const HostRecord& host);
QByteArray PlayersText(const HostRecord& host);
