#include "app/commandline.h"
#include "app/form1.h"
#include "platform/sdlplayer.h"
#include "inputs/evdevinput.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char *kNoDisplay =
    "velmora: nessuno schermo grafico disponibile%s%s. Velmora ha una finestra: avviarla dal desktop, "
    "oppure indicare lo schermo con DISPLAY (per esempio DISPLAY=:0 velmora).\n";

// Qt ends the program with an abort and a core dump when it cannot reach a display. While
// the application is being built, its messages are held back; if it gives up, one line
// says what to do and the program ends normally with status 1.
QtMessageHandler g_previousHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    const char *category;   // categories are named by string literals
    QString text;
};
QList<HeldMessage> g_heldMessages;

void holdDuringStartUp(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr, kNoDisplay, display.isEmpty() ? "" : " (DISPLAY=", display.isEmpty() ? "" : (display + ")").constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_heldMessages.append({type, context.category, message});
}

// True when Qt would look for an X or Wayland display and none is named at all.
bool noDisplayNamed()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool wantsDesktop = platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    return wantsDesktop && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    // Outside a desktop session there is no session bus, and libraries that look for one
    // (SDL, when it opens the sound device) would start their own through dbus-launch: a
    // fork of this whole program in the middle of the first sound. Say up front there is
    // none. Done first, before any thread exists.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = parseCommandLine(arguments);
    switch (options.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(qPrintable(options.text), stdout);
        return 0;
    case CommandLine::Action::ListInputs:
        std::fputs(qPrintable(describeInputDevices(listInputDevices())), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "velmora: %s\n", qPrintable(options.text));
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    QString error;
    const std::unique_ptr<StatusPort> port = makeInputSource(options.port, &error);
    if (!port) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(error));
        return 2;
    }
    if (noDisplayNamed()) {
        std::fprintf(stderr, kNoDisplay, " (DISPLAY non impostato)", "");
        return 1;
    }

    g_previousHandler = qInstallMessageHandler(&holdDuringStartUp);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    for (const HeldMessage &held : std::as_const(g_heldMessages))
        qt_message_output(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category), held.text);
    g_heldMessages.clear();

    QApplication::setApplicationName(QStringLiteral("velmora"));
    // The window is laid out for the small 8-point sans serif of classic desktops.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    QApplication::setFont(font);

    SdlPlayer player;
    Form1 window(*port, player, QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
