#pragma once

#include "config/inputsettings.h"
#include "inputs/inputloop.h"
#include "inputs/playrules.h"
#include "inputs/quiz.h"
#include "sounds/soundtable.h"

#include <QMap>
#include <QObject>
#include <QTimer>

#include <array>

// Velmora's state and actions, one for every face (the window, the run without a window,
// and the faces that reach a box from elsewhere): the input loop with its lamps, the four
// assignments with CONFIG.TXT, the test of each, and what the status line says of the
// inputs. A face shows what this holds, asks it to act, and hears of every change through
// its signals; no face reaches past it into a source or the player.
//
// The tick stays where it was: the loop reads the source, the sounds of the active inputs
// are asked for in the order 2, 1, 3, 4, and only then are the faces told of the lamps.
class Core : public QObject {
    Q_OBJECT
public:
    Core(InputSource &source, SoundPlayer &player, const QString &programFolder, QObject *parent = nullptr);
    ~Core() override;

    // The lamps, input n at n - 1: all idle while the inputs cannot be read.
    [[nodiscard]] const Inputs &lamps() const { return m_lamps; }
    [[nodiscard]] const SoundSlots &assignments() const { return m_sounds.values(); }
    // Assigned since CONFIG.TXT was last loaded or saved (lost on the next load).
    [[nodiscard]] bool unsaved(int input) const { return m_unsaved.at(std::size_t(input - 1)); }
    [[nodiscard]] std::array<bool, 4> unsavedInputs() const { return m_unsaved; }
    // Why the inputs cannot be read, or what their source remarks on; empty when all is well.
    [[nodiscard]] const QString &sourceStatus() const { return m_sourceStatus; }
    // What the status line shows: the source's status, then each face's remark (a broker
    // that cannot be reached), a line each.
    [[nodiscard]] QString statusLine() const;
    // A face's standing remark, by the face's name; empty takes it away.
    void setRemark(const QString &face, const QString &text);
    // Whether the sound last asked for still plays.
    [[nodiscard]] bool sounding() const { return m_sounds.sounding(); }
    [[nodiscard]] const QString &configPath() const { return m_configPath; }
    [[nodiscard]] const QByteArray &programFolder() const { return m_sounds.programFolder(); }
    // The log's last lines, as the journal shows them without a window.
    [[nodiscard]] QStringList recentLog() const;

    // Reads the inputs now, as a tick does.
    void tick();
    // Plays input's sound (the test button), or the default one for an input without.
    Done test(int input);
    // Reads CONFIG.TXT into the four assignments; one that cannot be read leaves them empty
    // and says why.
    Done load();
    Done save();
    // Assigns what the user chose (a path, or a name typed) to input; empty takes its sound
    // away. Refused, with the reason, when it could never play or not be saved as it is.
    Done assign(int input, const QByteArray &chosen);
    // How each input plays and the quiz, as INGRESSI.TXT said at the last load.
    [[nodiscard]] const BoxSettings &playSettings() const { return m_box; }
    // Quiz mode: who pressed first, while the others are locked.
    [[nodiscard]] std::optional<int> quizWinner() const { return m_quiz.winner(); }
    // Unlocks the inputs for the next question (the quiz master's reset).
    void resetQuiz();
    // Keeps new settings in INGRESSI.TXT and plays by them from now on.
    Done setPlaySettings(const BoxSettings &settings);
    // Plays a file of the program folder by name (soundInFolder), or says why not.
    Done playFile(const QByteArray &name);
    // Silences whatever plays.
    void stop();

signals:
    void lampsChanged();
    void assignmentsChanged();
    void sourceStatusChanged();   // also when statusLine() changes
    // A new press, after its tick's sounds: the input and when its source saw it (steady
    // clock, nanoseconds).
    void pressed(int input, qint64 atNs);
    // A sound was asked for: an input's (its number), or a file's (0); stop() tells -1.
    void soundStarted(int input, const QByteArray &file);
    // The quiz's winner came, or a reset unlocked the inputs.
    void quizChanged();
    // A passing remark for the user, such as the default sound played for the first time.
    void noted(const QString &text);
    // A new line in the log (from any thread, told here on the core's).
    void logged(const QString &line);

private:
    void onTick(const Result<InputTick> &tick);
    void onRelease(const Inputs &released);
    [[nodiscard]] InputModes modes() const;
    void play(const QList<PlayAction> &actions);
    void sound(int input, bool loop);
    void lockForQuiz(const QList<Press> &presses, Inputs &active, Inputs &news);
    void loadPlaySettings();
    void setSourceStatus(const QString &status);

    SoundTable m_sounds;
    QString m_configPath;
    Inputs m_lamps {};
    std::array<bool, 4> m_unsaved {};
    std::array<bool, 4> m_chimeSaid {};
    QString m_sourceStatus;
    QMap<QString, QString> m_remarks;
    BoxSettings m_box;
    PlayRules m_rules;
    Quiz m_quiz;
    QTimer m_quizReset;
    InputLoop m_loop;
};
