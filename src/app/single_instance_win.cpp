#include "app/single_instance.h"

#include "app/activation.h"

#include <QDir>

QString SingleInstance::lockDirectory()
{
    return QDir::tempPath();
}

void SingleInstance::listenForRequests(const QString&)
{
    // The broadcast reaches the main window's native event hook directly.
}

void SingleInstance::requestActivation(const QString&, const QStringList&)
{
    // A broadcast message carries no paths; the running window only comes
    // to the front.
    postActivationRequest();
}
