#include "platform/ErrorBox.h"

#include "platform/MessDlgs.h"

QString ErrorBoxText(const std::exception &AError)
{
    return QString::fromUtf8(AError.what());
}

void ShowErrorBox(const std::exception &AError)
{
    ShowError(ErrorBoxText(AError));
}

namespace {

void ShowUnknownError()
{
    ShowError(QStringLiteral("Неизвестная ошибка"));
}

} // namespace

bool GuardedCall(const std::function<void()> &AAction)
{
    try {
        AAction();
        return true;
    } catch (const std::exception &error) {
        ShowErrorBox(error);
    } catch (...) {
        ShowUnknownError();
    }
    return false;
}

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    GuardedCall([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
