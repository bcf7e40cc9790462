#pragma once

#include "inputs/inputloop.h"
#include "sounds/soundtable.h"

#include <QMainWindow>
#include <QPointer>

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
// At each tick of its input loop (inputloop.h: every 200 ms, and at once on a new press)
// it asks for the sounds of the active inputs in the order 2, 1, 3, 4 - so the last
// active one is the sound heard - and paints each lamp green or red. A source that cannot
// be read turns every lamp red and says why on the status line.
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
    void showTick(const Result<InputTick> &tick);
    void assignSlot(int input, const QByteArray &chosen);
    void showSlots();
    void showStatus();
    void warn(const QString &text, const QString &whatToDo);

    SoundTable m_sounds;
    QString m_percorsoConfigurazione;

    std::array<Lamp *, 8> m_shape1 {};           // indexed by status bit 4..7
    std::array<QLabel *, 5> m_lblBrano {};       // indexed by input 1..4
    std::array<QPushButton *, 5> m_cmdTest {};   // indexed by input 1..4
    Chooser *m_chooser = nullptr;
    StatusLine *m_statusLine = nullptr;
    QPointer<QMessageBox> m_warning;
    std::array<bool, 5> m_chimeSaid {};   // indexed by input 1..4: its default sound was said
    std::array<bool, 5> m_unsaved {};     // indexed by input 1..4: assigned since the last load or save
    QString m_sourceMessage;              // what the input source says, on the status line
    InputLoop *m_loop = nullptr;
};
