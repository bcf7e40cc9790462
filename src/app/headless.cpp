#include "headless.h"

#include "platform/texts.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

QByteArray stderrLine(const QString &text)
{
    return (QStringLiteral("velmora: ") + text + QLatin1Char('\n')).toLocal8Bit();
}

Headless::Headless(Core &core) : m_core(core)
{
    reload(false);
    connect(&m_signals, &SignalWatch::received, this, [this](int signal) {
        if (signal == SIGHUP)
            reload(true);
        else if (signal == SIGUSR1)
            m_core.resetQuiz();
        else
            QCoreApplication::quit();
    });
}

void Headless::reload(bool asked)
{
    const Done loaded = m_core.load();
    const QString &config = m_core.configPath();
    // Nobody sees a window: one line says what will play when the user asked for a reload,
    // or when there is no CONFIG.TXT at all; a start that found it is silent.
    if (loaded && (asked || !QFile::exists(config))) {
        QStringList each;
        for (int n = 1; n <= 4; ++n)
            each << Texts::tr("%1: %2").arg(n).arg(
                m_core.assignments()[std::size_t(n - 1)].isEmpty()
                    ? Texts::tr("suono predefinito")
                    : QFile::decodeName(m_core.assignments()[std::size_t(n - 1)]));
        const QString said =
            QFile::exists(config)
                ? Texts::tr("assegnazioni da %1: %2").arg(config, each.join(QStringLiteral(", ")))
                : Texts::tr("%1 non c'è: ogni ingresso suona il suono predefinito; scriverlo "
                            "accanto al programma e mandare SIGHUP a velmora")
                      .arg(config);
        std::fputs(stderrLine(said).constData(), stderr);
    } else if (!loaded) {
        std::fputs(
            stderrLine(Texts::tr("impossibile leggere la configurazione da %1: %2. Le assegnazioni sono "
                                 "vuote: correggere il file e mandare SIGHUP a velmora (o riavviarla).")
                           .arg(config, loaded.error()))
                .constData(),
            stderr);
    }
}
