// A second start's request as the running instance reads it from its socket:
// the header, then the payload it announces. What it accepts, encoded again
// (which cleans the paths: "//a" becomes "/a"), reads back as as many files.
#include "app/instance_request.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace instance_request;
    const QByteArrayView received(data, qsizetype(size));
    if (received.size() < kHeaderBytes)
        return 0;
    const std::optional<qint64> length = payloadLength(received.first(kHeaderBytes));
    if (!length || received.size() < kHeaderBytes + *length)
        return 0;
    const std::optional<QStringList> files = decodePayload(received.sliced(kHeaderBytes, *length));
    if (!files)
        return 0;
    const QByteArray again = encode(*files);
    const std::optional<QStringList> filesAgain = decodePayload(QByteArrayView(again).sliced(kHeaderBytes));
    if (payloadLength(QByteArrayView(again).first(kHeaderBytes)) != again.size() - kHeaderBytes || !filesAgain ||
        filesAgain->size() != files->size())
        std::abort();
    return 0;
}
