#pragma once

#include "inputs/inputmonitor.h"
#include "inputs/inputtick.h"
#include "sounds/soundtable.h"

#include <QMainWindow>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <array>

class Chooser;
class Lamp;
class QLabel;
class QMessageBox;
class QPushButton;
class StatusLine;

// The program's only window: four inputs with their lamps, test buttons and sound
// names on the left, the sound chooser on the right, the save and exit commands in
// the menu. It owns all state for the whole run.
//
// Each tick of Timer1 (every 200 ms) reads the source once, takes the inputs active for
// the tick from the press rules (held, or pressed since the last tick), asks for their
// sounds in the order 2, 1, 3, 4 - so the last active one is the sound heard - and paints
// each lamp green or red. A source that cannot be read turns every lamp red and says why
// on the status line. Between ticks the source is read when it wakes (a sampled source
// wakes it on a change): a new press ticks at once, and the 200 ms count starts again
// from there.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(InputSource &source, SoundPlayer &player, const QString &programFolder, QWidget *parent = nullptr);

    void LeggiIngressi();
    void SuonaBrano(int input);
    void CaricaConfigurazione();
    // Shows why it could not save, and returns false, when the file was not written.
    bool ScriviConfigurazione();

private:
    void buildInputFrames(QWidget *frame1);
    void buildMenu();
    void watchForPresses();
    void readBetweenTicks();
    void assignSlot(int input, const QByteArray &value);
    void showSlots();
    void warn(const QString &text, const QString &whatToDo);

    InputMonitor m_monitor;
    SoundTable m_sounds;
    QString m_percorsoConfigurazione;

    std::array<Lamp *, 8> m_shape1 {};           // indexed by status bit 4..7
    std::array<QLabel *, 5> m_lblBrano {};       // indexed by input 1..4
    std::array<QPushButton *, 5> m_cmdTest {};   // indexed by input 1..4
    Chooser *m_chooser = nullptr;
    StatusLine *m_statusLine = nullptr;
    QPointer<QMessageBox> m_warning;
    QTimer m_timer1;
    QPointer<QSocketNotifier> m_pressWatch;
};
