// The update server's reply body, read as a finished check reads it. An
// announced update names a short version and a web page.
#include "update/update_checker.h"

#include <QCoreApplication>
#include <QUrl>

#include <cstdlib>

namespace {

UpdateChecker* checker = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    checker = new UpdateChecker;
    QObject::connect(checker, &UpdateChecker::updateAvailable, [](const QString& version, const QString& url) {
        const QString scheme = QUrl(url).scheme();
        if (version.isEmpty() || version.size() > 64 || (scheme != u"https" && scheme != u"http"))
            std::abort();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    checker->readReply(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                       UpdateChecker::programVersion());
    return 0;
}
