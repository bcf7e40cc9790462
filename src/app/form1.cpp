#include "form1.h"

#include "chooser.h"
#include "form1style.h"
#include "lamp.h"
#include "modesdialog.h"
#include "platform/texts.h"
#include "statusline.h"
#include "twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeView>

Form1::Form1(Core &core, QWidget *parent) : QMainWindow(parent), m_core(core)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmora"));

    auto *client = new QWidget(this);
    client->setFixedSize(twips(0, 0, 6885, 4830).size());
    setCentralWidget(client);

    auto *frame1 = new QGroupBox(Texts::tr("Programma di gestione della porta parallela"), client);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(twips(120, 120, 6615, 4575));
    buildInputFrames(frame1);

    m_chooser = new Chooser(frame1);
    m_chooser->setGeometry(twips(3480, 360, 3015, 4095));
    connect(m_chooser, &Chooser::tabSelected, this, &Form1::CaricaConfigurazione);
    connect(m_chooser, &Chooser::assign, this, &Form1::assignSlot);

    auto *style = new Form1Style;
    style->setParent(this);
    for (QGroupBox *frame : findChildren<QGroupBox *>())
        frame->setStyle(style);
    m_chooser->TabStrip1->setStyle(style);

    buildMenu();
    m_statusLine = new StatusLine(this);
    statusBar()->addWidget(m_statusLine, 1);
    statusBar()->setSizeGripEnabled(false);

    // Tab follows the eye: the test buttons down the left, then the chooser from its tabs
    // down to SALVA SUONO, the order in which a sound is assigned.
    QWidget *order[] = {m_cmdTest[1],        m_cmdTest[2],         m_cmdTest[3],
                        m_cmdTest[4],        m_chooser->TabStrip1, m_chooser->Drive_tema,
                        m_chooser->Dir_tema, m_chooser->File_tema, m_chooser->Text_tema,
                        m_chooser->Command2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    m_chooser->Text_tema->setFocus();

    connect(&m_core, &Core::lampsChanged, this, &Form1::showLamps);
    connect(&m_core, &Core::quizChanged, this, &Form1::showLamps);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_blinkOn = !m_blinkOn;
        showLamps();
    });
    connect(&m_core, &Core::assignmentsChanged, this, &Form1::showSlots);
    connect(&m_core, &Core::sourceStatusChanged, this, &Form1::showStatus);
    connect(&m_core, &Core::noted, this,
            [this](const QString &text) { statusBar()->showMessage(text, 8000); });
    showLamps();
    // The first tick comes one interval after the window has loaded.
    CaricaConfigurazione();

    setFixedSize(sizeHint());
}

void Form1::buildInputFrames(QWidget *frame1)
{
    for (const InputLine &line : kInputs) {
        const int n = line.number;
        const int b = line.bit;
        auto *frame = new QGroupBox(Texts::tr("Ingresso %1").arg(n), frame1);
        frame->setObjectName(QStringLiteral("Frm2(%1)").arg(b));
        frame->setGeometry(twips(120, 360 + 1080 * (n - 1), 3255, 855));

        auto *lamp = new Lamp(frame);
        lamp->setObjectName(QStringLiteral("Shape1(%1)").arg(b));
        lamp->setGeometry(twips(120, 360, 255, 255));
        m_shape1[std::size_t(b)] = lamp;

        auto *test = new QPushButton(Texts::tr("test"), frame);
        test->setObjectName(QStringLiteral("CmdTest(%1)").arg(n));
        test->setGeometry(twips(480, 360, 495, 255));
        connect(test, &QPushButton::clicked, this, [this, n] { SuonaBrano(n); });
        m_cmdTest[std::size_t(n)] = test;

        auto *label = new QLabel(frame);
        label->setObjectName(QStringLiteral("lblBrano(%1)").arg(n));
        label->setGeometry(twips(1080, 240, 2055, 495));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        m_lblBrano[std::size_t(n)] = label;
    }
}

void Form1::buildMenu()
{
    // Reached by the keyboard too: Alt and the underlined letter, or F10; Ctrl+S saves.
    QMenu *menu = menuBar()->addMenu(Texts::tr("&Menu"));
    menu->setObjectName(QStringLiteral("Menu"));
    QAction *save = menu->addAction(Texts::tr("&Salva configurazione"));
    save->setObjectName(QStringLiteral("Salva_configurazione"));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &Form1::ScriviConfigurazione);
    QAction *exit = menu->addAction(Texts::tr("&Exit"));
    exit->setObjectName(QStringLiteral("Exit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);   // ends without saving
    auto *f10 = new QAction(this);
    f10->setShortcut(Qt::Key_F10);
    connect(f10, &QAction::triggered, this, [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    addAction(f10);
    // The inputs' own menu beside it: the first menu keeps its two items where they always were.
    QMenu *inputs = menuBar()->addMenu(Texts::tr("&Ingressi"));
    inputs->setObjectName(QStringLiteral("Ingressi"));
    QAction *modes = inputs->addAction(Texts::tr("&Modalità degli ingressi…"));
    modes->setObjectName(QStringLiteral("Modalita_degli_ingressi"));
    connect(modes, &QAction::triggered, this, [this] {
        ModesDialog dialog(m_core.playSettings(), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (const Done saved = m_core.setPlaySettings(dialog.settings()); !saved)
            warn(saved.error(), Texts::tr("Le modalità restano quelle di prima."));
    });
    QAction *reset = inputs->addAction(Texts::tr("&Azzera quiz"));
    reset->setObjectName(QStringLiteral("Azzera_quiz"));
    reset->setShortcut(Qt::Key_F5);
    connect(reset, &QAction::triggered, &m_core, &Core::resetQuiz);
}

void Form1::LeggiIngressi() { m_core.tick(); }

void Form1::showLamps()
{
    // The quiz's winner blinks until the reset, whatever its button does.
    const std::optional<int> winner = m_core.quizWinner();
    if (winner && !m_blink.isActive())
        m_blink.start(250);
    else if (!winner)
        m_blink.stop();
    for (const InputLine &line : kInputs)
        m_shape1[std::size_t(line.bit)]->setFillColor(
            line.number == winner                          ? (m_blinkOn ? Lamp::active() : Lamp::idle())
            : m_core.lamps()[std::size_t(line.number - 1)] ? Lamp::active()
                                                           : Lamp::idle());
}

void Form1::SuonaBrano(int input) { (void)m_core.test(input); }

void Form1::CaricaConfigurazione()
{
    const Done loaded = m_core.load();
    if (!loaded)
        warn(Texts::tr("Impossibile leggere la configurazione da %1: %2")
                 .arg(QDir::toNativeSeparators(m_core.configPath()), loaded.error()),
             // Promised only what will work: a save cannot replace a folder.
             QFileInfo(m_core.configPath()).isDir()
                 ? Texts::tr("Le assegnazioni sono vuote. Spostare o rinominare la cartella CONFIG.TXT, "
                             "poi riavviare il programma (o salvare: \"Salva configurazione\" scrive "
                             "allora un CONFIG.TXT nuovo).")
                 : Texts::tr("Le assegnazioni sono vuote. Correggere il file e riavviare il programma; "
                             "\"Salva configurazione\" lo sostituirebbe con quelle mostrate."));
}

bool Form1::ScriviConfigurazione()
{
    const Done saved = m_core.save();
    if (saved) {
        statusBar()->showMessage(
            Texts::tr("Configurazione salvata in %1.").arg(QDir::toNativeSeparators(m_core.configPath())),
            5000);
        return true;
    }
    warn(Texts::tr("Impossibile salvare la configurazione in %1: %2")
             .arg(QDir::toNativeSeparators(m_core.configPath()), saved.error()),
         Texts::tr("Le assegnazioni restano nella finestra: "
                   "risolvere il problema e scegliere di nuovo \"Salva configurazione\"."));
    return false;
}

void Form1::warn(const QString &text, const QString &whatToDo)
{
    // One box at a time: a repeated failure (each tab click reloads) updates it.
    if (!m_warning) {
        m_warning =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora"), {}, QMessageBox::Ok, this);
        m_warning->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_warning->setText(text);
    m_warning->setInformativeText(whatToDo);
    m_warning->open();   // not exec(): the lamps and sounds go on while it is shown
}

void Form1::assignSlot(int input, const QByteArray &chosen)
{
    if (const Done assigned = m_core.assign(input, chosen); !assigned)
        statusBar()->showMessage(assigned.error(), 10000);
}

void Form1::showSlots()
{
    for (int n = 1; n <= 4; ++n) {
        QLabel *label = m_lblBrano[std::size_t(n)];
        label->setText(QString::fromLocal8Bit(m_core.assignments()[std::size_t(n - 1)]));
        // Assigned but not saved yet: another colour, and said on the status line.
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         m_core.unsaved(n) ? QColor(0xB0, 0x50, 0x00) : QColor(0x00, 0x80, 0x00));
        label->setPalette(palette);
        label->setToolTip(m_core.unsaved(n) ? Texts::tr("Non ancora salvato") : QString());
    }
    showStatus();
}

void Form1::showStatus()
{
    QStringList unsaved;
    for (int n = 1; n <= 4; ++n)
        if (m_core.unsaved(n))
            unsaved << QString::number(n);
    QString note;
    if (unsaved.size() == 1)
        note = Texts::tr("ingresso %1 non ancora salvato: Menu → Salva configurazione (Ctrl+S); "
                         "cambiare linguetta prima lo annulla")
                   .arg(unsaved.first());
    else if (!unsaved.isEmpty())
        note = Texts::tr("ingressi %1 non ancora salvati: Menu → Salva configurazione (Ctrl+S); "
                         "cambiare linguetta prima li annulla")
                   .arg(unsaved.join(QStringLiteral(", ")));
    const QString status = m_core.statusLine();
    if (m_statusLine)
        m_statusLine->showMessage(status.isEmpty() || note.isEmpty() ? status + note
                                                                     : status + QLatin1Char('\n') + note);
}
