#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// A later start's request to the running instance on its socket (Linux): the
// magic "ORVA", the payload's length as a 32-bit big-endian number, then the
// payload: absolute paths in UTF-8, each ended by a zero byte.
namespace instance_request {

constexpr qint64 kHeaderBytes = 8;
constexpr qint64 kMaxPayloadBytes = 64 * 1024;

// The request for `files`, made absolute against the current directory; the
// paths that do not fit in kMaxPayloadBytes are left out.
QByteArray encode(const QStringList& files);
// The payload length a header (kHeaderBytes long) announces; nothing for a
// header of something else or a payload above kMaxPayloadBytes.
std::optional<qint64> payloadLength(QByteArrayView header);
// The files of a whole payload; nothing when it is not one.
std::optional<QStringList> decodePayload(QByteArrayView payload);

} // namespace instance_request
