// Windows: a second start of the program broadcasts the activation message;
// the running window answers it by coming to the front.
#include "ui/main_window.h"

#include "app/activation.h"

bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    if (isActivationRequest(message)) {
        bringToFront();
        *result = 0;
        return true;
    }
    return QMainWindow::nativeEvent(eventType, message, result);
}
