#pragma once

#include "inputs/inputmonitor.h"
#include "sounds/soundtable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>

class Chooser;
class Lamp;
class QLabel;
class QMessageBox;
class QPushButton;

// The program's only window: four inputs with their lamps, test buttons and sound
// names on the left, the sound chooser on the right, the save and exit commands in
// the menu. It owns all state for the whole run.
//
// Each tick of Timer1 (every 200 ms) reads the status port once, paints all lamps
// red, then for inputs 2, 1, 3, 4 - in that order, so the last active one is the
// sound heard - asks for the input's sound and paints its lamp green.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(StatusPort &port, SoundPlayer &player, const QString &programFolder, QWidget *parent = nullptr);

    void LeggiIngressi();
    void SuonaBrano(int input);
    void CaricaConfigurazione();
    // Shows why it could not save, and returns false, when the file was not written.
    bool ScriviConfigurazione();

    [[nodiscard]] QString PercorsoConfigurazione() const { return m_percorsoConfigurazione; }

private:
    void buildInputFrames(QWidget *frame1);
    void buildMenu();
    void assignSlot(int input, const QByteArray &value);
    void showSlots();
    void warn(const QString &text, const QString &whatToDo);

    InputMonitor m_monitor;
    SoundTable m_sounds;
    QString m_percorsoConfigurazione;
    StatoIngressi m_statoIngressi;

    std::array<Lamp *, 8> m_shape1 {};          // indexed by status bit 4..7
    std::array<QLabel *, 5> m_lblBrano {};       // indexed by input 1..4
    std::array<QPushButton *, 5> m_cmdTest {};   // indexed by input 1..4
    Chooser *m_chooser = nullptr;
    QLabel *m_statusLine = nullptr;
    QPointer<QMessageBox> m_warning;
    QTimer m_timer1;
};
