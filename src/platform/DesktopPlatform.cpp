#include "DesktopPlatform.h"

#include "CountryCodes.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace clavora {

DesktopPlatform::DesktopPlatform()
{
    clock_.start();
}

void DesktopPlatform::pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

std::uint32_t DesktopPlatform::tickCount()
{
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void DesktopPlatform::messageBox(MessageIcon icon, const std::string& title, const std::string& text)
{
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok, owner_);
    box.exec();
}

void DesktopPlatform::beep()
{
    QApplication::beep();
}

int DesktopPlatform::countryCode()
{
    return systemCountryCode();
}

} // namespace clavora
