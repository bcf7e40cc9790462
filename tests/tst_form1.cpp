#include "app/chooser.h"
#include "app/foldertree.h"
#include "app/form1.h"
#include "app/lamp.h"
#include "app/language.h"
#include "app/statusline.h"
#include "fakes.h"
#include "inputs/sourcechoice.h"
#include "platform/audio/sdlplayer.h"
#include "platform/filenames.h"
#include "steps.h"
#include "wavtools.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeView>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kConfig = "SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = b.wav\r\nSUONO INGRESSO 3 = "
                           "\r\nSUONO INGRESSO 4 = d d.wav \r\n";

// A window on a temporary program folder, with a fake port and a fake player.
struct Rig {
    Rig()
    {
        wav::writeFile(dir.filePath("CONFIG.TXT"), kConfig);
        for (const char *sound : {"x.wav", "  due spazi .wav ", "effetti/gong.wav"})
            QVERIFY(QDir(dir.path()).mkpath("effetti") && wav::writeFile(dir.filePath(sound), "RIFF"));
        core = std::make_unique<Core>(port, player, dir.path());
        form = std::make_unique<Form1>(*core);
    }
    template <typename T>
    T *get(const QString &name) const
    {
        return form->findChild<T *>(name);
    }
    QString label(int n) const { return get<QLabel>(QString("lblBrano(%1)").arg(n))->text(); }
    QStringList labels() const { return {label(1), label(2), label(3), label(4)}; }
    // The lamps as drawn, inputs 1 to 4: G pure green, R pure red, ? anything else.
    QString lamps() const
    {
        QString out;
        for (int bit : {6, 7, 5, 4}) {   // input 1's lamp is Shape1(6), and so on
            auto *shape = get<Lamp>(QString("Shape1(%1)").arg(bit));
            const QColor c = shape->grab().toImage().pixelColor(shape->rect().center());
            out += c == QColor(255, 0, 0) ? 'R' : c == QColor(0, 255, 0) ? 'G' : '?';
        }
        return out;
    }
    Chooser *chooser() const { return get<Chooser>("Frame6"); }
    QByteArray path(const QByteArray &name) const { return QFile::encodeName(dir.path()) + "/" + name; }
    // The inputs whose sounds were asked for, told apart by their files.
    QList<int> inputsPlayed() const
    {
        QList<int> inputs;
        for (const QByteArray &played : player.plays)
            for (int n = 1; n <= 4; ++n)
                if (played == path(label(n).toUtf8()))
                    inputs.append(n);
        return inputs;
    }

    QTemporaryDir dir;
    FakeSource port;
    FakePlayer player;
    std::unique_ptr<Core> core;
    std::unique_ptr<Form1> form;
};

// A file system that never answers, as a network mount whose server has gone: every look
// at it waits. Given up after `limit`, so that a window that does wait is held that long
// and no longer, and always at the end.
struct HungMount {
    explicit HungMount(const QByteArray &at, std::chrono::milliseconds limit) : path(at)
    {
        fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        const QByteArray options = "fd=" + QByteArray::number(fuse) + ",rootmode=40000,user_id=0,group_id=0";
        mounted =
            fuse >= 0 && ::mkdir(at.constData(), 0755) == 0 &&
            ::mount("hung", at.constData(), "fuse.hung", MS_NOSUID | MS_NODEV, options.constData()) == 0;
        if (mounted)
            releaser = std::thread([this, limit] {
                for (auto end = std::chrono::steady_clock::now() + limit;
                     !done && std::chrono::steady_clock::now() < end;)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                released = true;
                ::close(std::exchange(fuse, -1));   // every waiter gets an error at once
            });
    }
    ~HungMount()
    {
        done = true;
        if (releaser.joinable())
            releaser.join();
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
        if (fuse >= 0)
            ::close(fuse);
        ::rmdir(path.constData());
    }
    QByteArray path;
    int fuse = -1;
    bool mounted = false;
    std::atomic<bool> done = false;
    std::atomic<bool> released = false;
    std::thread releaser;
};

// The most CPU time the window's thread spent between two runs of a 20 ms timer: work
// done on it in one go holds the window that long on any machine, while a machine that
// gives the test little time only stretches the wall-clock gaps.
struct Heartbeat {
    Heartbeat()
    {
        QObject::connect(&beat, &QTimer::timeout, [this] {
            const qint64 now = cpuMs();
            longest = std::max(longest, now - last);
            last = now;
        });
        beat.start(20);
    }
    static qint64 cpuMs()
    {
        timespec t {};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
    }
    qint64 last = cpuMs();
    qint64 longest = 0;
    QTimer beat;
};

struct TickCase {
    QString read {};
    QString lamps {};
    QList<int> requests {};
    QString statusLine {};
};
struct AssignCase {
    QString steps {};
    QStringList labels {};
    int reloads = 0;
    QString message {};
};

}   // namespace

Q_DECLARE_METATYPE(TickCase)
Q_DECLARE_METATYPE(AssignCase)

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    // A tick after one that lit inputs 1, 3 and 4: what the next reading does (see
    // fakes.h), the lamps as drawn, the inputs whose sounds are asked for, the status line.
    void tick_data()
    {
        QTest::addColumn<TickCase>("c");
        QTest::newRow("all four, 2 first") << TickCase {"1111", "GGGG", {2, 1, 3, 4}};
        QTest::newRow("port failing: red, silent, says why")
            << TickCase {"x guasto", "RRRR", {}, "Porta parallela non leggibile: guasto"};
        QTest::newRow("claim under way: nothing new, as they were") << TickCase {"wait", "GRGG", {1, 3, 4}};
    }
    void tick()
    {
        QFETCH(TickCase, c);
        Rig rig;
        rig.port.next = reading("1011");
        rig.form->LeggiIngressi();
        QCOMPARE(rig.lamps(), QString("GRGG"));
        rig.player.plays.clear();
        rig.port.next = reading(c.read);
        rig.form->LeggiIngressi();
        QCOMPARE(rig.lamps(), c.lamps);
        QCOMPARE(rig.inputsPlayed(), c.requests);
        QCOMPARE(rig.get<QLabel>("statusLine")->text(), c.statusLine);
        QCOMPARE(rig.port.reads, 2);   // one read per tick
        // The sounds of CONFIG.TXT were decoded ahead, at start-up: the first press is instant.
        QCOMPARE(rig.player.preloads,
                 (QList<QByteArray> {rig.path("a.wav"), rig.path("b.wav"), rig.path("d d.wav ")}));
    }

    // An input with no sound plays the default one, and says so the first time only.
    void defaultSoundSaidOnce()
    {
        Rig rig;
        rig.form->SuonaBrano(3);   // slot 3 is empty in the rig's CONFIG.TXT
        QVERIFY2(rig.form->statusBar()->currentMessage().contains("Ingresso 3 senza suono"),
                 qPrintable(rig.form->statusBar()->currentMessage()));
        rig.form->statusBar()->clearMessage();
        rig.form->SuonaBrano(3);
        QCOMPARE(rig.form->statusBar()->currentMessage(), QString());
        QCOMPARE(rig.player.plays.size(), 2);
    }

    // A message longer than the status line's three lines (a USB device's by-id path) is
    // cut there, whole in the tooltip, and never covers the frames above it.
    void longMessageStaysInTheStatusLine()
    {
        Rig rig;
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
        rig.port.next = reading("x /dev/input/by-id/" + QString(300, 'x') + " non c'è: collegarlo");
        rig.form->LeggiIngressi();
        auto *line = rig.get<QLabel>("statusLine");
        QVERIFY(line->toolTip().endsWith("collegarlo"));
        QVERIFY2(QTextDocumentFragment::fromHtml(line->text()).toPlainText().endsWith(QChar(0x2026)),
                 qPrintable(line->text()));
        auto *frames = rig.get<QWidget>("Frame1");
        QVERIFY(line->mapTo(rig.form.get(), QPoint()).y() >=
                frames->mapTo(rig.form.get(), QPoint(0, frames->height())).y());
    }

    // A source that wakes the window is read at once: a new press ticks at once, and the
    // 200 ms count starts again from there; nothing new waits for the tick.
    void pressIsReadAtOnce_data()
    {
        QTest::addColumn<QString>("seen");
        QTest::newRow("an idle input pressed") << "1000";
        QTest::newRow("nothing new") << "0000";
    }
    void pressIsReadAtOnce()
    {
        QFETCH(QString, seen);
        const bool news = seen != "0000";
        int pipe[2];
        QCOMPARE(::pipe2(pipe, O_NONBLOCK), 0);
        Rig rig;
        rig.port.wake = pipe[0];
        rig.form->LeggiIngressi();   // the watch starts with a read
        auto *timer = rig.core->findChild<QTimer *>("Timer1");
        timer->stop();
        rig.port.next = reading(seen);
        QCOMPARE(::write(pipe[1], "p", 1), 1);
        QTRY_COMPARE(rig.port.reads, news ? 3 : 2);   // the woken read, and the tick's
        QCOMPARE(rig.lamps(), news ? QString("GRRR") : QString("RRRR"));
        QCOMPARE(timer->isActive(), news);
        ::close(pipe[0]);
        ::close(pipe[1]);
    }

    // Steps (steps.h): assign TAB NAME (tab 0: the one selected), save, save fails,
    // tab N clicks a tab, key Right|Left on the tab strip, folder / nofolder make
    // CONFIG.TXT a folder and take it away. Then the labels, the reloads after the one at
    // start-up, and what the status bar or a message box says.
    void assignments_data()
    {
        QTest::addColumn<AssignCase>("c");
        const QStringList start {"a.wav", "b.wav", "", "d d.wav "};
        const QString unsaved = "non ancora salvat";   // the status line's note
        QTest::newRow("empty text clears the slot")
            << AssignCase {"assign 1 ", {"", "b.wav", "", "d d.wav "}, 0, "ingresso 1 " + unsaved};
        QTest::newRow("empty text, nothing to clear: says why")
            << AssignCase {"assign 3 ", start, 1, "Nessun suono scelto"};
        QTest::newRow("right after start writes slot 1")
            << AssignCase {"assign 0 x.wav", {"x.wav", "b.wav", "", "d d.wav "}, 0, "ingresso 1 " + unsaved};
        QTest::newRow("typed name kept exactly")
            << AssignCase {"assign 3   due spazi .wav ",
                           {"a.wav", "b.wav", "  due spazi .wav ", "d d.wav "},
                           1,
                           "ingresso 3 " + unsaved};
        QTest::newRow("two unsaved, both said") << AssignCase {
            "assign 0 x.wav; assign 0 ", {"", "b.wav", "", "d d.wav "}, 0, "ingresso 1 " + unsaved};
        QTest::newRow("tab click without saving reverts") << AssignCase {"assign 2 x.wav; tab 3", start, 2};
        QTest::newRow("saved then tab click survives") << AssignCase {"assign 2 x.wav; save; tab 4",
                                                                      {"a.wav", "x.wav", "", "d d.wav "},
                                                                      2,
                                                                      "Configurazione salvata in "};
        QTest::newRow("clicking the selected tab reloads too")
            << AssignCase {"assign 1 x.wav; tab 1", start, 1};
        QTest::newRow("tab changed with the keyboard reverts")
            << AssignCase {"assign 2 x.wav; key Right", start, 2};
        QTest::newRow("keyboard-selected tab is the one written")
            << AssignCase {"key Right; key Right; assign 0 x.wav",
                           {"a.wav", "b.wav", "x.wav", "d d.wav "},
                           2,
                           "ingresso 3 " + unsaved};
        // Only files in the program folder can play: others are refused, saying why.
        QTest::newRow("a file in a sub-folder: its path from there")
            << AssignCase {"assign 2 $DIR/effetti/gong.wav",
                           {"a.wav", "effetti/gong.wav", "", "d d.wav "},
                           1,
                           "ingresso 2 " + unsaved};
        QTest::newRow("refused: a file from another folder") << AssignCase {
            "assign 1 /usr/share/sounds/altrove.wav", start, 0, "fuori dalla cartella di Velmora"};
        QTest::newRow("refused: a typed name with no file")
            << AssignCase {"assign 1 nope.wav", start, 0, "nope.wav non c'è nella cartella di Velmora"};
        // Names that could not be saved so as to load back the same are refused at once.
        QTest::newRow("refused: line break")
            << AssignCase {"assign 1 a\nb.wav", start, 0, "contiene un a capo"};
        QTest::newRow("refused: text of a key")
            << AssignCase {"assign 1 x SUONO INGRESSO 4 = y.wav", start, 0, "SUONO INGRESSO 4 = "};
        QTest::newRow("refused: longer than a line")
            << AssignCase {"assign 1 " + QString(40000, 'x'), start, 0, "più lungo"};
        // A failed save says why and keeps the assignments, which save once it is fixed.
        QTest::newRow("save fails, then works")
            << AssignCase {"assign 1 x.wav; folder; save fails; nofolder; save; tab 2",
                           {"x.wav", "b.wav", "", "d d.wav "},
                           1,
                           "Impossibile salvare la configurazione in "};
    }
    void assignments()
    {
        QFETCH(AssignCase, c);
        Rig rig;
        QSignalSpy reloaded(rig.chooser(), &Chooser::tabSelected);
        QTabBar *bar = rig.chooser()->TabStrip1;
        for (const Step &step : steps(c.steps)) {
            if (step.verb == "assign") {
                if (const int tab = step.word(0).toInt())
                    bar->setCurrentIndex(tab - 1);
                rig.chooser()->Text_tema->setText(step.rest.mid(2).replace("$DIR", rig.dir.path()));
                QTest::mouseClick(rig.chooser()->Command2, Qt::LeftButton);
            } else if (step.verb == "save") {
                QCOMPARE(rig.form->ScriviConfigurazione(), step.word(0) != "fails");
            } else if (step.verb == "tab") {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(step.word(0).toInt() - 1).center());
            } else if (step.verb == "key") {
                QTest::keyClick(bar, step.word(0) == "Right" ? Qt::Key_Right : Qt::Key_Left);
            } else if (step.verb == "folder") {
                QVERIFY(QFile::remove(rig.dir.filePath("CONFIG.TXT")) &&
                        QDir(rig.dir.path()).mkdir("CONFIG.TXT"));
            } else if (step.verb == "nofolder") {
                QVERIFY(QDir(rig.dir.path()).rmdir("CONFIG.TXT"));
            }
        }
        QCOMPARE(rig.labels(), c.labels);
        QCOMPARE(reloaded.size(), c.reloads);
        const auto *box = rig.form->findChild<QMessageBox *>();
        const QString shown =
            box ? box->text()
                : rig.form->statusBar()->currentMessage() + rig.get<QLabel>("statusLine")->text();
        QVERIFY2(c.message.isEmpty() ? shown.isEmpty() : shown.contains(c.message), qPrintable(shown));
    }

    // The window in the language its environment asks for, as the program chooses it: CTest
    // runs this once more under LANG=en_US.UTF-8 and once under it_IT.UTF-8. Captions, the
    // menu, and a port's failure with its remedy on the status line.
    void speaksTheDesktopsLanguage()
    {
        useTranslation(desktopTranslation());
        const bool english =
            qEnvironmentVariable("LANG").startsWith("en") && qEnvironmentVariableIsEmpty("LC_ALL");
        QTemporaryDir dir;
        auto source = makeInputSource("file:" + dir.filePath("missing"));
        QVERIFY(source);
        FakePlayer player;
        Core core(**source, player, dir.path());
        Form1 form(core);
        form.LeggiIngressi();
        const QStringList shown {
            form.findChild<QGroupBox *>("Frame1")->title(),
            form.findChild<QPushButton *>("CmdTest(1)")->parentWidget()->property("title").toString(),
            form.findChild<QPushButton *>("CmdTest(1)")->text(),
            form.findChild<Chooser *>("Frame6")->title(),
            form.findChild<Chooser *>("Frame6")->TabStrip1->tabText(0),
            form.findChild<QPushButton *>("Command2")->text(),
            form.menuBar()->actions().value(0)->text().remove('&'),
            form.findChild<QAction *>("Salva_configurazione")->text().remove('&'),
        };
        const QString status = form.findChild<QLabel *>("statusLine")->toolTip();
        useTranslation({});
        if (english) {
            QCOMPARE(shown, (QStringList {"Parallel port control program", "Input 1", "test",
                                          "Choose the sound file for the input", "IN 1", "SAVE SOUND", "Menu",
                                          "Save configuration"}));
            QVERIFY2(status.startsWith("Port file cannot be read: ") &&
                         status.contains("is not there: create it"),
                     qPrintable(status));
        } else {   // exactly as it always was
            QCOMPARE(shown, (QStringList {"Programma di gestione della porta parallela", "Ingresso 1", "test",
                                          "Scelta del file da aggiungere nel tema", "ING 1", "SALVA SUONO",
                                          "Menu", "Salva configurazione"}));
            QVERIFY2(status.startsWith("File della porta non leggibile: ") &&
                         status.contains("non c'è: crearlo"),
                     qPrintable(status));
        }
    }

    void unreadableConfigIsReportedNotHidden()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link("/proc/self/mem", dir.filePath("CONFIG.TXT")));   // read fails, even for root
        FakeSource port;
        FakePlayer player;
        Core core(port, player, dir.path());
        Form1 form(core);
        QTabBar *bar = form.findChild<Chooser *>("Frame6")->TabStrip1;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());   // a reload says it again
        const QList<QMessageBox *> boxes = form.findChildren<QMessageBox *>();
        QCOMPARE(boxes.size(), 1);   // in the same box: none stack up
        QVERIFY2(boxes[0]->text().startsWith("Impossibile leggere la configurazione da"),
                 qPrintable(boxes[0]->text()));
    }

    // Listing the volumes can hang on a dead network mount; the window goes on meanwhile.
    void hangingVolumeListNeverHoldsUpTheWindow()
    {
        auto release = std::make_shared<QSemaphore>();
        Chooser chooser(nullptr, [release] {
            release->tryAcquire(1, 5000);
            return QList<Chooser::Volume> {{"/", "/"}};
        });
        QTest::qWait(200);
        QCOMPARE(chooser.Drive_tema->count(), 0);   // made, and answering, before the list came
        release->release();
        QTRY_COMPARE(chooser.Drive_tema->count(), 1);
    }

    // A folder of many sounds and folders fills both lists without holding the window: a
    // timer goes on firing while they fill (the toolkit's own tree held it for seconds).
    void manyEntriesNeverHoldTheWindow()
    {
        Rig rig;
        QTemporaryDir many;
        const QByteArray folder = QFile::encodeName(many.path());
        for (int i = 0; i < 50000; ++i)
            QVERIFY(::close(::open(folder + "/s" + QByteArray::number(i) + ".wav", O_CREAT | O_WRONLY,
                                   0644)) == 0);
        for (int i = 0; i < 2000; ++i)
            QVERIFY(QDir(many.path()).mkdir(QString("d%1").arg(i)));
        rig.form->show();   // laid out as the user sees them
        QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
        QSignalSpy listed(rig.chooser(), &Chooser::filesListed);
        Heartbeat heart;
        rig.chooser()->openFolder(many.path());
        QTRY_VERIFY_WITH_TIMEOUT(!listed.isEmpty() && listed.last().value(0).toString() == many.path(),
                                 20000);
        QTRY_COMPARE(rig.chooser()->Dir_tema->model()->rowCount(rig.chooser()->Dir_tema->currentIndex()),
                     2000);
        QTRY_COMPARE(rig.chooser()->File_tema->model()->rowCount(), 50000);
        QTest::qWait(200);   // the lists laid out
        QVERIFY2(heart.longest < 300, qPrintable(QString("the window was held %1 ms").arg(heart.longest)));
    }

    // A folder on a mount that does not answer, opened from the lists, never holds the
    // window: the file list says it is being read, and another folder still opens.
    void hungFolderNeverHoldsTheWindow()
    {
        QTemporaryDir dir;
        HungMount hung(QFile::encodeName(dir.path()) + "/server", std::chrono::seconds(60));
        if (!hung.mounted)
            QSKIP("needs FUSE and the right to mount (root): run it through scripts/test");
        QVERIFY(wav::writeFile(dir.filePath("a.wav"), wav::tone(440, 0.1)));
        Rig rig;
        Chooser *chooser = rig.chooser();
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
        QSignalSpy listed(chooser, &Chooser::filesListed);
        QTRY_VERIFY(!listed.isEmpty());
        chooser->openFolder(hung.path + "/suoni");   // finding it asks the server too
        QTRY_COMPARE(chooser->File_tema->model()->index(0, 0).data().toString(), "lettura della cartella…");
        const QRect shown = chooser->Dir_tema->visualRect(chooser->Dir_tema->currentIndex());
        QTest::mouseClick(chooser->Dir_tema->viewport(), Qt::LeftButton, {}, shown.center());
        chooser->openFolder(dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(listed.last().value(0).toString(), dir.path(), 30000);
        QCOMPARE(chooser->File_tema->model()->index(0, 0).data().toString(), "a.wav");
        QVERIFY2(!hung.released, "the window answered only once the mount gave up");
    }

    // Listed again (CONFIG.TXT saved beside the sounds), the list keeps the file highlighted
    // and chooses nothing: a name typed meanwhile stays. Tab into a list with none
    // highlighted highlights the file it chooses.
    void listedAgainKeepsTheHighlightedFile()
    {
        QTemporaryDir dir;
        for (const char *name : {"a.wav", "b.wav"})
            QVERIFY(wav::writeFile(dir.filePath(name), "x"));
        Chooser chooser(nullptr, [] { return QList<Chooser::Volume> {}; });
        QSignalSpy listed(&chooser, &Chooser::filesListed);
        chooser.openFolder(dir.path());
        QTRY_COMPARE(listed.size(), 2);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        chooser.Text_tema->setFocus();
        QTest::keyClick(chooser.Text_tema, Qt::Key_Backtab);
        QTRY_VERIFY(chooser.File_tema->hasFocus());
        const QModelIndexList shown = chooser.File_tema->selectionModel()->selectedIndexes();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(chooser.Text_tema->text(), shown.first().data().toString());

        QTest::keyClick(chooser.File_tema, Qt::Key_Down);
        chooser.Text_tema->setText("scritto.wav");
        QVERIFY(wav::writeFile(dir.filePath("CONFIG.TXT"), "x"));
        QTRY_COMPARE(listed.size(), 3);
        QCOMPARE(chooser.File_tema->currentIndex().data().toString(), "b.wav");
        QVERIFY(chooser.File_tema->selectionModel()->isSelected(chooser.File_tema->currentIndex()));
        QCOMPARE(chooser.Text_tema->text(), "scritto.wav");
    }

    // A folder filled while it is shown is listed once at a time, however many changes
    // come, and the list ends with the last file in it. The listing the burst starts is held
    // until the burst is over, so the test does not hang on how fast the machine is.
    void changesListTheFolderOneAtATime()
    {
        QTemporaryDir dir;
        std::atomic<int> running = 0, most = 0, calls = 0;
        QSemaphore held;
        std::atomic<bool> holding = false;
        Chooser chooser(
            nullptr, [] { return QList<Chooser::Volume> {}; },
            [&](const QByteArray &folder) {
                most = std::max(most.load(), ++running);
                if (++calls == 1 && holding)
                    held.acquire();
                QList<QByteArray> names = listWavFiles(folder);
                --running;
                return names;
            });
        QSignalSpy listed(&chooser, &Chooser::filesListed);
        chooser.openFolder(dir.path());
        QTRY_COMPARE(listed.size(), 2);   // as opened, and again once it is watched
        calls = 0;
        holding = true;
        for (int i = 0; i < 30; ++i) {
            QVERIFY(wav::writeFile(dir.filePath(QString("s%1.wav").arg(i, 2, 10, QChar('0'))), "x"));
            QTest::qWait(10);
        }
        QTRY_COMPARE(calls.load(), 1);   // the first listing the burst started, held
        held.release();
        QTRY_COMPARE(chooser.File_tema->model()->rowCount(), 30);
        QTRY_COMPARE(running.load(), 0);
        QCOMPARE(most.load(), 1);
        // The held one, one for the changes met meanwhile, and one more where the toolkit
        // handed over the last of them after that one had started.
        QVERIFY2(calls <= 3, qPrintable(QString("%1 listings for one burst").arg(calls.load())));
    }

    // A folder whose name is not valid text, picked in the tree, lists its sounds.
    void folderNamedInAnotherEncoding()
    {
        QTemporaryDir dir;
        const QByteArray odd = QFile::encodeName(dir.path()) + "/caf\xe9";
        QVERIFY(::mkdir(odd.constData(), 0755) == 0);
        QVERIFY(::close(::open((odd + "/gong.wav").constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        Chooser chooser(nullptr, [] { return QList<Chooser::Volume> {}; });
        chooser.resize(400, 600);
        chooser.Dir_tema->resize(380, 400);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QSignalSpy listed(&chooser, &Chooser::filesListed);
        chooser.openFolder(dir.path());
        QTRY_COMPARE(listed.size(), 2);   // as opened, and again once it is watched
        const QModelIndex parent = chooser.Dir_tema->currentIndex();
        QTRY_COMPARE(chooser.Dir_tema->model()->rowCount(parent), 1);
        const QModelIndex folder = chooser.Dir_tema->model()->index(0, 0, parent);
        chooser.Dir_tema->scrollTo(folder);
        QTest::mouseClick(chooser.Dir_tema->viewport(), Qt::LeftButton, {},
                          chooser.Dir_tema->visualRect(folder).center());
        QTRY_COMPARE(listed.size(), 4);
        QCOMPARE(chooser.File_tema->model()->rowCount(), 1);
        QCOMPARE(chooser.File_tema->model()->index(0, 0).data(Qt::UserRole).toByteArray(), "gong.wav");
        // QTemporaryDir cannot remove a name that is not valid UTF-8: it would be left in /tmp.
        QVERIFY(::unlink((odd + "/gong.wav").constData()) == 0 && ::rmdir(odd.constData()) == 0);
    }

    // The lists open on the current folder; another folder shows its WAV files only.
    void fileListAndTheNamesItGives()
    {
        Rig rig;
        Chooser *chooser = rig.chooser();
        QSignalSpy listed(chooser, &Chooser::filesListed);
        QTRY_VERIFY(!listed.isEmpty());
        QCOMPARE(listed.first().value(0).toString(), QDir::currentPath());
        QCOMPARE(chooser->Dir_tema->currentIndex().data(FolderTree::PathRole).toString(),
                 QDir::currentPath());

        QTemporaryDir other;
        for (const char *name : {"uno.wav", "DUE.WAV", "Tre.Wav", "note.txt", "wav", "caf\xe9.wav"})
            QVERIFY(::close(::open((QFile::encodeName(other.path()) + "/" + name).constData(),
                                   O_CREAT | O_WRONLY, 0644)) == 0);
        chooser->openFolder(other.path());
        QTRY_COMPARE(listed.last().value(0).toString(), other.path());
        const QAbstractItemModel *model = chooser->File_tema->model();
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 0).data().toString();
        const QString cafe = QFile::decodeName("caf\xe9.wav");
        QCOMPARE(shown, (QStringList {cafe, "DUE.WAV", "Tre.Wav", "uno.wav"}));

        // Picked elsewhere: refused, saying why (only the program folder's files can play).
        chooser->TabStrip1->setCurrentIndex(2);
        QTest::mouseClick(chooser->File_tema->viewport(), Qt::LeftButton, {},
                          chooser->File_tema->visualRect(model->index(0, 0)).center());
        QTest::mouseClick(chooser->Command2, Qt::LeftButton);
        QCOMPARE(rig.label(3), QString());
        QVERIFY2(rig.form->statusBar()->currentMessage().contains("fuori dalla cartella di Velmora"),
                 qPrintable(rig.form->statusBar()->currentMessage()));

        // Picked in the program folder, with the arrow keys as with a click: assigned as the
        // bytes its name has on disk, a Latin-1 name too (not valid UTF-8).
        const QByteArray home = QFile::encodeName(rig.dir.path());
        for (const char *name : {"Tre.Wav", "caf\xe9.wav"})
            QVERIFY(::close(::open((home + "/" + name).constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        chooser->openFolder(rig.dir.path());
        QTRY_COMPARE(listed.last().value(0).toString(), rig.dir.path());
        QTRY_VERIFY(model->rowCount() > 1 && model->index(0, 0).flags() & Qt::ItemIsEnabled);
        const std::tuple<int, QString, QByteArray> picks[] = {{1, "Tre.Wav", "Tre.Wav"},
                                                              {2, cafe, "caf\xe9.wav"}};
        for (const auto &[tab, name, bytes] : picks) {
            chooser->TabStrip1->setCurrentIndex(tab - 1);
            chooser->File_tema->setFocus();
            chooser->File_tema->setCurrentIndex(model->index(0, 0));
            while (chooser->File_tema->currentIndex().data().toString() != name &&
                   chooser->File_tema->currentIndex().row() + 1 < model->rowCount())
                QTest::keyClick(chooser->File_tema, Qt::Key_Down);
            QCOMPARE(chooser->Text_tema->text(), name);
            QTest::mouseClick(chooser->Command2, Qt::LeftButton);
            QTest::mouseClick(rig.get<QPushButton>(QString("CmdTest(%1)").arg(tab)), Qt::LeftButton);
            QCOMPARE(rig.player.plays.last(), rig.path(bytes));
        }
        QVERIFY(rig.form->ScriviConfigurazione());
        QVERIFY(wav::readFile(rig.dir.filePath("CONFIG.TXT")).contains("SUONO INGRESSO 2 = caf\xe9.wav\r\n"));
        // QTemporaryDir cannot remove a name that is not valid UTF-8: it would be left in /tmp.
        for (const QByteArray &folder : {QFile::encodeName(other.path()), home})
            QCOMPARE(::unlink((folder + "/caf\xe9.wav").constData()), 0);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
