#pragma once

#include "sounds/playsettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// "Modalità degli ingressi…": how each input plays and the quiz, as INGRESSI.TXT keeps them
// (docs/modes.md), in one small dialog so that the window's own layout stays as it is.
// Every control is reached with Tab; OK keeps, Esc leaves everything as it was.
class ModesDialog : public QDialog {
    Q_OBJECT
public:
    ModesDialog(const BoxSettings &settings, QWidget *parent = nullptr);
    [[nodiscard]] BoxSettings settings() const;

private:
    struct Row {
        QComboBox *play = nullptr, *with = nullptr, *order = nullptr;
        QSpinBox *volume = nullptr, *fade = nullptr;
        QLineEdit *files = nullptr;
    };
    std::array<Row, 4> m_rows;
    QCheckBox *m_quiz = nullptr;
    QSpinBox *m_resetAfter = nullptr;
};
