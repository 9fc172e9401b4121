#pragma once

#include <QJsonObject>
#include <QString>

#include <chrono>

// Why the private PipeWire session could not be started (the session script
// leaves the reason in the runtime directory), or empty when it runs.
QString pipeWireUnavailableReason();

// Skips the current test, saying why, where PipeWire cannot run at all.
#define SKIP_WITHOUT_PIPEWIRE()                                                   \
    do {                                                                          \
        const QString reason = pipeWireUnavailableReason();                       \
        if (!reason.isEmpty())                                                    \
            GTEST_SKIP() << "PipeWire cannot be started here: " << reason.toStdString(); \
    } while (0)

// The pw-dump object of the node named `nodeName`, once it shows up; an empty
// object when it does not within `timeout`.
QJsonObject waitForNode(const QString& nodeName, std::chrono::milliseconds timeout);
