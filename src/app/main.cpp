#include "app/commandline.h"
#include "app/form1.h"
#include "platform/sdlplayer.h"
#include "platform/statusport.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Outside a desktop session there is no session bus, and libraries that look for one
    // (SDL, when it opens the sound device) would start their own through dbus-launch: a
    // fork of this whole program in the middle of the first sound. Say up front there is
    // none. Done first, before any thread exists.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    // The window is laid out for the small 8-point sans serif of classic desktops.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    QApplication::setFont(font);
    const CommandLine options = parseCommandLine(QApplication::arguments());

    QString error;
    const std::unique_ptr<StatusPort> port = makeStatusPort(options.port, &error);
    if (!port) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(error));
        return 2;
    }
    SdlPlayer player;
    Form1 window(*port, player, QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
