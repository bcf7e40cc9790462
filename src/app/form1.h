#pragma once

#include "core/core.h"

#include <QMainWindow>
#include <QPointer>
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
// the menu. A face over the core (core.h), which holds the state and plays the sounds.
//
// At each tick of the core's input loop (every 200 ms, and at once on a new press) each
// lamp is painted green or red. A source that cannot be read turns every lamp red and
// says why on the status line.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Core &core, QWidget *parent = nullptr);

    void LeggiIngressi();
    void SuonaBrano(int input);
    void CaricaConfigurazione();
    // Shows why it could not save, and returns false, when the file was not written.
    bool ScriviConfigurazione();

private:
    void buildInputFrames(QWidget *frame1);
    void buildMenu();
    void showLamps();
    void assignSlot(int input, const QByteArray &chosen);
    void showSlots();
    void showStatus();
    void warn(const QString &text, const QString &whatToDo);

    Core &m_core;

    std::array<Lamp *, 8> m_shape1 {};           // indexed by status bit 4..7
    std::array<QLabel *, 5> m_lblBrano {};       // indexed by input 1..4
    std::array<QPushButton *, 5> m_cmdTest {};   // indexed by input 1..4
    Chooser *m_chooser = nullptr;
    StatusLine *m_statusLine = nullptr;
    QPointer<QMessageBox> m_warning;
    QTimer m_blink;   // the quiz's winner's lamp
    bool m_blinkOn = true;
};
