#include "core.h"

#include "config/configfile.h"
#include "platform/recentlog.h"
#include "platform/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcCore, "velmora.config.modes", QtInfoMsg)
Q_LOGGING_CATEGORY(lcQuiz, "velmora.quiz", QtInfoMsg)

Core::Core(InputSource &source, SoundPlayer &player, const QString &programFolder, QObject *parent)
    : QObject(parent), m_sounds(player, programFolder),
      m_configPath(QDir(programFolder).filePath(QStringLiteral("CONFIG.TXT"))),
      m_loop(
          source, [this](const Result<InputTick> &tick) { onTick(tick); },
          [this](const Inputs &released) { onRelease(released); }, this)
{
    m_quizReset.setSingleShot(true);
    connect(&m_quizReset, &QTimer::timeout, this, &Core::resetQuiz);
    keepRecentLog();
    // A line may be logged on any thread: told on the core's, and not once it is gone.
    tellRecentLog([core = QPointer<Core>(this)](const QString &line) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [core, line] {
                if (core)
                    emit core->logged(line);
            },
            Qt::QueuedConnection);
    });
}

Core::~Core() { tellRecentLog({}); }

QStringList Core::recentLog() const { return ::recentLog(); }

void Core::tick() { m_loop.tick(); }

void Core::onTick(const Result<InputTick> &tick)
{
    if (!tick) {
        setSourceStatus(Texts::tr("%1 non leggibile: %2").arg(m_loop.sourceName(), tick.error()));
        if (std::exchange(m_lamps, Inputs {}) != Inputs {})
            emit lampsChanged();
        return;
    }
    Inputs active = tick->active;
    Inputs news {};
    for (const Press &press : tick->presses)
        news[std::size_t(press.input - 1)] = true;
    if (m_box.quiz)
        lockForQuiz(tick->presses, active, news);
    play(m_rules.tick(active, news, modes()));   // first the sounds
    for (const Press &press : tick->presses)     // the faces after them
        emit pressed(press.input, press.atNs);
    setSourceStatus(m_loop.sourceRemark());
    if (std::exchange(m_lamps, tick->active) != tick->active)
        emit lampsChanged();
}

void Core::onRelease(const Inputs &released) { play(m_rules.released(released, modes())); }

InputModes Core::modes() const
{
    InputModes modes;
    for (std::size_t i = 0; i < modes.size(); ++i)
        modes[i] = m_box.inputs[i].mode;
    return modes;
}

void Core::play(const QList<PlayAction> &actions)
{
    for (const PlayAction &action : actions)
        if (action.kind == PlayAction::Kind::Start)
            sound(action.input, action.loop);
        else
            m_sounds.stopInput(action.input);
}

void Core::setSourceStatus(const QString &status)
{
    if (std::exchange(m_sourceStatus, status) != status)
        emit sourceStatusChanged();
}

QString Core::statusLine() const
{
    QStringList lines {m_sourceStatus};
    lines << m_remarks.values();
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

void Core::setRemark(const QString &face, const QString &text)
{
    if (m_remarks.value(face) == text)
        return;
    if (text.isEmpty())
        m_remarks.remove(face);
    else
        m_remarks.insert(face, text);
    emit sourceStatusChanged();
}

namespace {
Done isInput(int input)
{
    if (input < 1 || input > 4)
        return failure(Texts::tr("Non c'è l'ingresso %1: gli ingressi sono 1, 2, 3 e 4.").arg(input));
    return kDone;
}
}   // namespace

Done Core::test(int input)
{
    if (const Done known = isInput(input); !known)
        return known;
    sound(input, false);
    return kDone;
}

void Core::sound(int input, bool loop)
{
    // An input with no sound plays the default one: said once, the first time, so that the
    // chime is not taken for a fault.
    if (m_sounds.value(input).isEmpty() && !std::exchange(m_chimeSaid[std::size_t(input - 1)], true))
        emit noted(Texts::tr("Ingresso %1 senza suono: suona quello predefinito di Velmora "
                             "(sceglierne uno, poi SALVA SUONO).")
                       .arg(input));
    m_sounds.start(input, loop);
    emit soundStarted(input, m_sounds.value(input));
}

// Once someone has pressed first, the others are locked: their presses and holds play nothing.
void Core::lockForQuiz(const QList<Press> &presses, Inputs &active, Inputs &news)
{
    const bool decided = m_quiz.winner().has_value();
    const Inputs allowed = m_quiz.allowed(presses);
    for (std::size_t i = 0; i < allowed.size(); ++i)
        active[i] = active[i] && allowed[i], news[i] = news[i] && allowed[i];
    if (decided || !m_quiz.winner())
        return;
    const QString said = Texts::tr("ingresso %1 ha premuto per primo — bloccati gli altri; azzerare con "
                                   "Ingressi → Azzera quiz (F5), SIGUSR1 o il comando reset")
                             .arg(*m_quiz.winner());
    qCInfo(lcQuiz).noquote() << said;   // without a window, the journal is the status line
    setRemark(QStringLiteral("quiz"), said);
    if (m_box.quizResetSeconds > 0)
        m_quizReset.start(m_box.quizResetSeconds * 1000);
    emit quizChanged();
}

void Core::resetQuiz()
{
    m_quizReset.stop();
    if (!m_quiz.winner())
        return;
    m_quiz.reset();
    qCInfo(lcQuiz).noquote() << Texts::tr("quiz azzerato: tutti gli ingressi di nuovo liberi");
    setRemark(QStringLiteral("quiz"), {});
    emit quizChanged();
}

Done Core::setPlaySettings(const BoxSettings &settings)
{
    const Done saved =
        saveInputSettings(QDir(programFolder()).filePath(QLatin1String(kInputSettingsFile)), settings);
    if (saved)
        loadPlaySettings();
    return saved;
}

void Core::loadPlaySettings()
{
    const QString path = QDir(programFolder()).filePath(QLatin1String(kInputSettingsFile));
    const ReadInputSettings read = loadInputSettings(path);
    for (const QString &problem : read.problems)
        qCWarning(lcCore).noquote() << problem;
    setRemark(QStringLiteral("settings"), read.problems.join(QLatin1Char('\n')));
    m_sounds.setSettings(read.settings.inputs);   // a folder's files listed again
    if (read.settings == m_box)
        return;
    for (int n = 1; n <= 4; ++n)   // loops of the old settings end with them; other sounds play on
        if (m_rules.looping(n))
            m_sounds.stopInput(n);
    m_rules.stopped();
    m_box = read.settings;
    resetQuiz();
    emit quizChanged();   // it may have been turned on or off
}

Done Core::playFile(const QByteArray &name)
{
    const Result<QByteArray> path = soundInFolder(m_sounds.programFolder(), name);
    if (!path)
        return failure(path.error());
    m_sounds.play(*path);
    emit soundStarted(0, name);
    return kDone;
}

void Core::stop()
{
    m_sounds.stop();
    m_rules.stopped();
    emit soundStarted(-1, {});
}

Done Core::load()
{
    const Result<SoundSlots> loaded = loadConfig(m_configPath);
    m_sounds.setAll(loaded.value_or(SoundSlots {}));
    loadPlaySettings();
    m_unsaved = {};
    emit assignmentsChanged();
    if (!loaded)
        return failure(loaded.error());
    return kDone;
}

Done Core::save()
{
    const Done saved = saveConfig(m_configPath, m_sounds.values());
    if (saved) {
        m_unsaved = {};
        emit assignmentsChanged();
    }
    return saved;
}

Done Core::assign(int input, const QByteArray &chosen)
{
    if (const Done known = isInput(input); !known)
        return known;
    if (chosen.isEmpty()) {   // an empty name clears the slot; with nothing to clear, says why
        if (m_sounds.value(input).isEmpty())
            return failure(Texts::tr("Nessun suono scelto: sceglierne uno nell'elenco (o scriverne il nome), "
                                     "poi SALVA SUONO. Con il nome vuoto, SALVA SUONO toglie il suono "
                                     "dell'ingresso."));
        m_sounds.set(input, {});
    } else {
        const Result<QByteArray> value = slotValueFor(m_sounds.programFolder(), chosen);
        if (const auto unsavable = unsavableName(value.value_or(chosen)))
            return failure(
                Texts::tr("Nome non assegnato: %1 e non potrebbe essere salvato.").arg(*unsavable));
        if (!value)
            return failure(Texts::tr("Suono non assegnato: %1.").arg(value.error()));
        m_sounds.set(input, *value);
    }
    m_unsaved[std::size_t(input - 1)] = true;
    emit assignmentsChanged();
    return kDone;
}
