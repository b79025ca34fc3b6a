#include "intake/inicio.h"
#include "platform/guiapplication.h"
#include "ui/principal.h"

#include <QApplication>

int main(int argc, char **argv)
{
    platform::setCommandLine(argc, argv);
    Inicio::Main();
    // The program lives on only while the notification is on screen.
    if (ui::Principal::exists())
        QApplication::exec();
    return 0;
}
