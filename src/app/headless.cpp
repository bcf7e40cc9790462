#include "headless.h"

#include "config/configfile.h"
#include "platform/texts.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

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
    connect(&m_signals, &SignalWatch::received, this, [this](int signal) {
        if (signal == SIGHUP)
            reload();
        else
            QCoreApplication::quit();
    });
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
