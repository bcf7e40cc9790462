#include "app/commandline.h"
#include "app/form1.h"
#include "app/headless.h"
#include "app/inputlisting.h"
#include "app/language.h"
#include "app/linebreaks.h"
#include "app/modules.h"
#include "config/datafolder.h"
#include "config/inputsettings.h"
#include "inputs/sourcechoice.h"
#include "inputs/sources/gpioinput.h"
#include "platform/audio/sdlplayer.h"
#include "platform/signalwatch.h"
#include "platform/texts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScopeGuard>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Every text goes through the running application's translation: a core application
// serves the command line and the screenless run; the window's replaces it.
std::unique_ptr<QCoreApplication> g_core;

void say(const QString &line) { std::fputs(stderrLine(line).constData(), stderr); }

// A listing for a terminal of 80 columns.
void print(const QString &text) { std::fputs(qPrintable(fittedToColumns(text)), stdout); }

// The line for a missing display; `where` says what DISPLAY holds.
QString noDisplayLine(const QString &where)
{
    return Texts::tr("nessuno schermo grafico disponibile%1. Velmora ha una finestra: avviarla dal desktop, "
                     "oppure indicare lo schermo con DISPLAY (per esempio DISPLAY=:0 velmora), oppure farla "
                     "funzionare senza finestra con velmora --no-window.")
        .arg(where);
}
// Made while the translation can still be reached, for Qt's last word on the display.
QByteArray g_noDisplayLine;

// Qt ends the program with an abort and a core dump when it cannot reach a display. While
// the application is being built, its messages are held back; if it gives up, the program
// ends normally: with one line that says what to do and status 1, or, when it was only
// building the application to show why it cannot start, silently with that refusal's 2.
QtMessageHandler g_previousHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    const char *category;   // categories are named by string literals
    QString text;
};
QList<HeldMessage> g_heldMessages;
bool g_refusing = false;

void holdDuringStartUp(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        if (g_refusing)
            std::_Exit(2);   // the refusal is on stderr already
        std::fputs(g_noDisplayLine.constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_heldMessages.append({type, context.category, message});
}

std::unique_ptr<QApplication> makeApplication(int &argc, char **argv)
{
    const QString display = qEnvironmentVariable("DISPLAY");
    g_noDisplayLine = stderrLine(
        noDisplayLine(display.isEmpty() ? QString() : QStringLiteral(" (DISPLAY=%1)").arg(display)));
    g_core.reset();
    g_previousHandler = qInstallMessageHandler(&holdDuringStartUp);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    useTranslation(desktopTranslation());
    for (const HeldMessage &held : std::as_const(g_heldMessages))
        qt_message_output(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category), held.text);
    g_heldMessages.clear();
    return app;
}

// True when Qt would look for an X or Wayland display and none is named at all.
bool noDisplayNamed()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool wantsDesktop =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    return wantsDesktop && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Started from the menu or at login, nobody sees stderr: where there is a display, the
// reason Velmora cannot start is shown in a window too. Returns the refusal's status.
int refuse(const QString &why, bool onScreen, int &argc, char **argv)
{
    say(why);
    // From a terminal the line above is read where it was typed: a box would only make the
    // command wait. The box is for starts from the menu or at login, where nobody reads it.
    if (!onScreen || noDisplayNamed() || ::isatty(STDERR_FILENO))
        return 2;
    // Scripts, services and test rigs run Qt on a platform that draws for nobody: there a
    // box would wait for a click that never comes. The line on stderr is all they read.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return 2;
    g_refusing = true;
    const auto app = makeApplication(argc, argv);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), Texts::tr("Velmora non può partire."),
                    QMessageBox::Ok);
    // How to mend the options depends on how Velmora was installed: the package's program
    // lives under /usr, scripts/install's in the user's own folder.
    const bool packaged = QCoreApplication::applicationDirPath().startsWith(QLatin1String("/usr/"));
    box.setTextFormat(Qt::RichText);
    box.setInformativeText(keepingCommandsWhole(
        why + QStringLiteral("\n\n") +
        (packaged
             ? Texts::tr("Correggere le opzioni con cui viene avviata (la riga Exec della voce di menu "
                         "~/.local/share/applications/velmora.desktop, copiata da "
                         "/usr/share/applications/velmora.desktop) e riavviarla.")
             : Texts::tr("Correggere le opzioni con cui viene avviata (di nuovo scripts/install --port …, "
                         "oppure la riga Exec della voce di menu) e riavviarla."))));
    box.exec();
    return 2;
}

// The folder of CONFIG.TXT and the sounds (datafolder.h), made the current folder when it
// is not the program's, so that the chooser opens there. Made on the first start.
QString sharedFolder()
{
    const QString program = QCoreApplication::applicationDirPath();
    const QString folder =
        dataFolder(program, ::access(QFile::encodeName(program).constData(), W_OK) == 0, QDir::homePath());
    if (folder == program)
        return program;
    if (!QDir().mkpath(folder)) {
        say(Texts::tr("impossibile creare la cartella %1 per CONFIG.TXT e i suoni: controllare i "
                      "permessi della cartella personale. Le assegnazioni si leggono da %2.")
                .arg(folder, program));
        return program;
    }
    QDir::setCurrent(folder);
    return folder;
}

}   // namespace

int main(int argc, char *argv[])
{
    // Outside a desktop session there is no session bus, and libraries that look for one
    // (SDL, when it opens the sound device) would start their own through dbus-launch: a
    // fork of this whole program in the middle of the first sound. Say up front there is
    // none. Done first, before any thread exists.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    g_core = std::make_unique<QCoreApplication>(argc, argv);
    const auto gone = qScopeGuard([] { g_core.reset(); });   // before the program's statics go
    useTranslation(desktopTranslation());
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = parseCommandLine(arguments);
    switch (options.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(qPrintable(options.text), stdout);
        return 0;
    case CommandLine::Action::ListInputs: {
        // A --port named with it is checked as --check checks it, and refused the same way.
        // (Let go again before a serial port's lines are read: it is held exclusively.)
        if (options.port != QLatin1String("auto") && !gpioLinesOf(options.port)) {
            const Result<std::unique_ptr<InputSource>> named = makeInputSource(options.port);
            if (!named)
                return refuse(named.error(), false, argc, argv);
            if (const InputReading reading = (*named)->read(); !reading) {
                say(Texts::tr("%1 non leggibile ora: %2").arg((*named)->name(), reading.error()));
                return 2;
            }
        }
        // A serial port named with it is the one port whose lines are read (opening it
        // toggles DTR, so none is opened unasked).
        if (const QString serial = serialPortOf(options.port); !serial.isEmpty()) {
            const QByteArray path = QFile::encodeName(serial);
            print(describeSerialLines(serial, peekSerialLines(path), serialLineSupport(path)));
            return 0;
        }
        // So are the GPIO lines named with it, and only they: on a Raspberry Pi, requesting a
        // line can change what its pin does.
        if (const std::optional<QString> gpio = gpioLinesOf(options.port)) {
            const Result<std::unique_ptr<InputSource>> source = makeInputSource(options.port);
            if (!source)   // refused before a line was requested: the lines name nothing wrong
                return refuse(source.error(), false, argc, argv);
            print(describeGpioLines(options.port, parseGpioSpec(*gpio)->lines, (*source)->read()));
            return 0;
        }
        print(describeInputDevices(listInputDevices()) + describeSerialPorts(listSerialPorts()) +
              describeGpioChips(listGpioChips()));
        return 0;
    }
    case CommandLine::Action::WebKey: {
        QString why;
        const WebPlugin *web = loadWebPlugin(why);
        const auto [ok, described] =
            web ? web->describeKey(sharedFolder(), options.newWebKey) : std::pair {false, why};
        if (!ok) {
            say(described);
            return 1;
        }
        std::fputs(qPrintable(described), stdout);
        return 0;
    }
    case CommandLine::Action::Error:
        // A script checking its options (--check), or a service, has nobody to click a box.
        return refuse(options.text,
                      !arguments.contains(QStringLiteral("--check")) &&
                          !arguments.contains(QStringLiteral("--no-window")),
                      argc, argv);
    case CommandLine::Action::Run:
    case CommandLine::Action::Check:
        break;
    }
    // The modules of the faces asked for, loaded only then; their options checked as --port is.
    const Result<Modules> modules = loadModules(options);
    if (!modules)
        return refuse(modules.error(), options.action == CommandLine::Action::Run && !options.noWindow, argc,
                      argv);
    const Result<std::unique_ptr<InputSource>> source = makeInputSource(options.port);
    if (!source)
        return refuse(source.error(), options.action == CommandLine::Action::Run && !options.noWindow, argc,
                      argv);
    InputSource &inputs = **source;
    if (options.action == CommandLine::Action::Check) {
        // Accepted; a source that cannot be read right now (a USB device unplugged) may
        // well be there when Velmora runs, so it is a warning only.
        if (const InputReading reading = inputs.read(); !reading)
            say(Texts::tr("attenzione: %1 non leggibile ora: %2").arg(inputs.name(), reading.error()));
        else
            std::fputs(
                qPrintable(Texts::tr("--port %1 accettata: %2 si legge.\n").arg(options.port, inputs.name())),
                stdout);
        // How each input will play, as INGRESSI.TXT says.
        std::fputs(qPrintable(describeInputSettings(
                       loadInputSettings(QDir(sharedFolder()).filePath(QLatin1String(kInputSettingsFile))))),
                   stdout);
        return 0;
    }
    if (options.noWindow) {   // no display is looked for, nor any widget made
        SdlPlayer player;
        const QString folder = sharedFolder();
        Core core(inputs, player, folder);
        Headless run(core);
        const auto faces = openFaces(core, *modules, options, folder);
        return QCoreApplication::exec();
    }
    if (noDisplayNamed()) {
        say(noDisplayLine(Texts::tr(" (DISPLAY non impostato)")));
        return 1;
    }

    const auto app = makeApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    // The window is laid out for the small 8-point sans serif of classic desktops.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    QApplication::setFont(font);

    SdlPlayer player;
    const QString folder = sharedFolder();
    Core core(inputs, player, folder);
    Form1 window(core);
    const auto faces = openFaces(core, *modules, options, folder);
    window.show();
    // Ended by a signal as by closing the window: through the loop, giving back the port.
    // SIGUSR1 is the quiz master's reset, for scripts.
    const SignalWatch ends({SIGTERM, SIGINT, SIGHUP, SIGUSR1});
    QObject::connect(&ends, &SignalWatch::received, &core,
                     [&core](int signal) { signal == SIGUSR1 ? core.resetQuiz() : QApplication::quit(); });
    return QApplication::exec();
}
