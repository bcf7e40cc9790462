#include "headless.h"

#include "config/configfile.h"
#include "platform/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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
    reload(false);
    connect(&m_signals, &SignalWatch::received, this, [this](int signal) {
        if (signal == SIGHUP)
            reload(true);
        else
            QCoreApplication::quit();
    });
}

void Headless::reload(bool asked)
{
    const Result<SoundSlots> loaded = loadConfig(m_config);
    m_sounds.setAll(loaded.value_or(SoundSlots {}));
    // Nobody sees a window: one line says what will play when the user asked for a reload,
    // or when there is no CONFIG.TXT at all; a start that found it is silent.
    if (loaded && (asked || !QFile::exists(m_config))) {
        QStringList each;
        for (int n = 1; n <= 4; ++n)
            each << Texts::tr("%1: %2").arg(n).arg(loaded->at(std::size_t(n - 1)).isEmpty()
                                                       ? Texts::tr("suono predefinito")
                                                       : QFile::decodeName(loaded->at(std::size_t(n - 1))));
        const QString said =
            QFile::exists(m_config)
                ? Texts::tr("assegnazioni da %1: %2").arg(m_config, each.join(QStringLiteral(", ")))
                : Texts::tr("%1 non c'è: ogni ingresso suona il suono predefinito; scriverlo "
                            "accanto al programma e mandare SIGHUP a velmora")
                      .arg(m_config);
        std::fputs(stderrLine(said).constData(), stderr);
    } else if (!loaded) {
        std::fputs(
            stderrLine(Texts::tr("impossibile leggere la configurazione da %1: %2. Le assegnazioni sono "
                                 "vuote: correggere il file e mandare SIGHUP a velmora (o riavviarla).")
                           .arg(m_config, loaded.error()))
                .constData(),
            stderr);
    }
}
