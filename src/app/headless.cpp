#include "headless.h"

#include "config/configfile.h"
#include "platform/texts.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalWrite = -1;

// A signal handler may do next to nothing: it hands the signal's number to the event loop.
void handOver(int signal)
{
    const char number = char(signal);
    (void)!::write(g_signalWrite, &number, 1);
}

}   // namespace

QByteArray stderrLine(const QString &text)
{
    return (QStringLiteral("velmora: ") + text + QLatin1Char('\n')).toLocal8Bit();
}

Headless::Headless(InputSource &source, SoundPlayer &player, const QString &programFolder)
    : m_sounds(player, programFolder), m_config(QDir(programFolder).filePath(QStringLiteral("CONFIG.TXT"))),
      m_loop(source, [this](const Result<InputTick> &tick) {
          if (tick)
              for (const int input : tick->sounds)
                  m_sounds.SuonaBrano(input);
      })
{
    reload();
    if (::pipe2(m_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_signalWrite = m_signalPipe[1];
        m_signalWatch = new QSocketNotifier(m_signalPipe[0], QSocketNotifier::Read, this);
        connect(m_signalWatch, &QSocketNotifier::activated, this, &Headless::onSignal);
        struct sigaction action {};
        action.sa_handler = &handOver;
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGHUP, SIGTERM, SIGINT})
            ::sigaction(signal, &action, nullptr);
    }
}

Headless::~Headless()
{
    for (int signal : {SIGHUP, SIGTERM, SIGINT})
        std::signal(signal, SIG_DFL);
    g_signalWrite = -1;
    for (int fd : m_signalPipe)
        if (fd >= 0)
            ::close(fd);
}

void Headless::reload()
{
    const Result<SoundSlots> loaded = loadConfig(m_config);
    m_sounds.setAll(loaded.value_or(SoundSlots {}));
    if (!loaded)
        std::fputs(
            stderrLine(Texts::tr("impossibile leggere la configurazione da %1: %2. Le assegnazioni sono "
                                 "vuote: correggere il file e mandare SIGHUP a velmora (o riavviarla).")
                           .arg(m_config, loaded.error()))
                .constData(),
            stderr);
}

void Headless::onSignal()
{
    char number = 0;
    while (::read(m_signalPipe[0], &number, 1) == 1) {
        if (number == SIGHUP)
            reload();
        else
            QCoreApplication::quit();
    }
}
