#include "app/chooser.h"
#include "app/form1.h"
#include "app/lamp.h"
#include "platform/sdlplayer.h"
#include "fakes.h"
#include "readonly.h"
#include "wavtools.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <fcntl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(PortReading)

namespace {

// A window on a temporary program folder, with a fake port and a fake player.
struct Rig {
    explicit Rig(const QByteArray &config = {})
    {
        if (!config.isNull())
            wav::writeFile(configPath(), config);
        form = std::make_unique<Form1>(port, player, dir.path());
    }
    QString configPath() const { return dir.filePath("CONFIG.TXT"); }
    template <typename T> T *get(const QString &name) const { return form->findChild<T *>(name); }
    Lamp *lamp(int bit) const { return get<Lamp>(QString("Shape1(%1)").arg(bit)); }
    QString label(int n) const { return get<QLabel>(QString("lblBrano(%1)").arg(n))->text(); }
    // The lamps as drawn, inputs 1 to 4: G pure green, R pure red, ? anything else.
    QString lamps() const
    {
        QString out;
        for (int n = 1; n <= 4; ++n) {
            constexpr int kLampBit[] = {0, 6, 7, 5, 4};   // input 1's lamp is Shape1(6), and so on
            Lamp *shape = lamp(kLampBit[n]);
            const QColor c = shape->grab().toImage().pixelColor(shape->rect().center());
            out += c == QColor(255, 0, 0) ? 'R' : c == QColor(0, 255, 0) ? 'G' : '?';
        }
        return out;
    }
    void tick(int status)
    {
        port.next = PortReading::ok(quint8(status));
        form->LeggiIngressi();
    }
    Chooser *chooser() const { return get<Chooser>("Frame6"); }
    void assign(int tab, const QString &text)
    {
        chooser()->TabStrip1->setCurrentIndex(tab - 1);
        chooser()->Text_tema->setText(text);
        QTest::mouseClick(chooser()->Command2, Qt::LeftButton);
    }
    void clickTab(int tab)
    {
        QTabBar *bar = chooser()->TabStrip1;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab - 1).center());
    }
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
    FakePort port;
    FakePlayer player;
    std::unique_ptr<Form1> form;
};

const QByteArray kConfig = "SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = b.wav\r\nSUONO INGRESSO 3 = \r\nSUONO INGRESSO 4 = d d.wav \r\n";

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    // A tick after one that lit inputs 1, 3 and 4: what the next reading does.
    void tick_data()
    {
        QTest::addColumn<PortReading>("reading");
        QTest::addColumn<QString>("lamps");        // inputs 1 to 4, as drawn
        QTest::addColumn<QList<int>>("requests");  // inputs, in order
        QTest::addColumn<QString>("statusLine");
        QTest::newRow("0x87: all four, 2 first") << PortReading::ok(0x87) << "GGGG" << QList<int> {2, 1, 3, 4} << "";
        QTest::newRow("0x7F: none, low bits ignored") << PortReading::ok(0x7F) << "RRRR" << QList<int> {} << "";
        QTest::newRow("port failing: red, silent, says why") << PortReading::failed("guasto") << "RRRR" << QList<int> {}
                                                             << "Porta parallela non leggibile: guasto";
        QTest::newRow("claim under way: lamps as they were") << PortReading::notYet() << "GRGG" << QList<int> {} << "";
    }
    void tick()
    {
        QFETCH(PortReading, reading);
        QFETCH(QString, lamps);
        QFETCH(QList<int>, requests);
        QFETCH(QString, statusLine);
        Rig rig(kConfig);
        rig.tick(0x00);
        QCOMPARE(rig.lamps(), QString("GRGG"));
        rig.player.plays.clear();
        rig.port.next = reading;
        rig.form->LeggiIngressi();
        QCOMPARE(rig.lamps(), lamps);
        QCOMPARE(rig.inputsPlayed(), requests);
        QCOMPARE(rig.get<QLabel>("statusLine")->text(), statusLine);
        QCOMPARE(rig.port.reads, 2);   // one read per tick
    }

    // A 200 MB sound assigned and tried while input 2 is held: it loads in the
    // background, and the window goes on answering meanwhile.
    void hugeSoundNeverHoldsUpTheWindow()
    {
        QTemporaryDir dir;
        QVERIFY(wav::writeHugeWav(dir.filePath("grande.wav"), qint64(200) << 20));
        QVERIFY(wav::writeFile(dir.filePath("b.wav"), wav::tone(660, 0.5)));
        wav::writeFile(dir.filePath("CONFIG.TXT"), "SUONO INGRESSO 2 = b.wav\r\n");
        FakePort port;
        port.next = PortReading::ok(0xF8);   // input 2 held
        SdlPlayer player;
        Form1 form(port, player, dir.path());
        auto *chooser = form.findChild<Chooser *>("Frame6");
        chooser->Text_tema->setText("grande.wav");
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(chooser->Command2, Qt::LeftButton);
        QTest::mouseClick(form.findChild<QPushButton *>("CmdTest(1)"), Qt::LeftButton);
        qint64 worstGap = clock.elapsed(), last = clock.elapsed();
        const int readsBefore = port.reads;
        while (clock.elapsed() < 3000) {
            QTest::qWait(10);
            worstGap = std::max(worstGap, clock.elapsed() - last);
            last = clock.elapsed();
        }
        QVERIFY2(worstGap < 1000, qPrintable(QString("the window was held up for %1 ms").arg(worstGap)));
        QVERIFY(port.reads - readsBefore >= 10);   // and went on ticking
    }

    void startUpLoadsAndPreloads()
    {
        Rig rig(kConfig);
        QCOMPARE((QStringList {rig.label(1), rig.label(2), rig.label(3), rig.label(4)}),
                 (QStringList {"a.wav", "b.wav", "", "d d.wav "}));
        QCOMPARE(rig.player.preloads, (QList<QByteArray> {rig.path("a.wav"), rig.path("b.wav"), rig.path("d d.wav ")}));
    }

    void assignments_data()
    {
        // a<tab>=<name> (a0: on the tab selected), s = save, t<tab> = click tab,
        // k<key> = key on the tab strip, w = wheel over it; | between steps
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("empty text changes nothing") << "a1=" << QStringList {"a.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("right after start writes slot 1") << "a0=x.wav" << QStringList {"x.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("typed name kept exactly") << "a3=  due spazi .wav " << QStringList {"a.wav", "b.wav", "  due spazi .wav ", "d d.wav "};
        QTest::newRow("tab click without saving reverts") << "a2=x.wav|t3" << QStringList {"a.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("saved then tab click survives") << "a2=x.wav|s|t4" << QStringList {"a.wav", "x.wav", "", "d d.wav "};
        QTest::newRow("clicking the selected tab reloads too") << "a1=x.wav|t1" << QStringList {"a.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("tab changed with the keyboard reverts") << "a2=x.wav|kRight" << QStringList {"a.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("tab changed with the wheel reverts") << "a2=x.wav|w" << QStringList {"a.wav", "b.wav", "", "d d.wav "};
        QTest::newRow("keyboard-selected tab is the one written") << "kRight|kRight|a0=x.wav" << QStringList {"a.wav", "b.wav", "x.wav", "d d.wav "};
    }
    void assignments()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, labels);
        Rig rig(kConfig);
        for (const QString &step : steps.split('|')) {
            if (step.startsWith('a')) {
                const int tab = step.mid(1, 1).toInt();
                if (tab == 0) {
                    rig.chooser()->Text_tema->setText(step.mid(3));
                    QTest::mouseClick(rig.chooser()->Command2, Qt::LeftButton);
                } else {
                    rig.assign(tab, step.mid(3));
                }
            } else if (step == "s") {
                QVERIFY(rig.form->ScriviConfigurazione());
            } else if (step.startsWith('t')) {
                rig.clickTab(step.mid(1).toInt());
            } else if (step.startsWith('k')) {
                QTest::keyClick(rig.chooser()->TabStrip1, step == "kRight" ? Qt::Key_Right : Qt::Key_Left);
            } else if (step == "w") {
                QTabBar *bar = rig.chooser()->TabStrip1;
                const QPointF at = bar->tabRect(0).center();
                QWheelEvent wheel(at, bar->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &wheel);
            }
        }
        QCOMPARE((QStringList {rig.label(1), rig.label(2), rig.label(3), rig.label(4)}), labels);
    }

    // A click on another tab both selects it and reports the click: one reload, not two.
    void eachTabChangeReloadsOnce()
    {
        Rig rig(kConfig);
        QSignalSpy reloads(rig.chooser(), &Chooser::tabSelected);
        rig.clickTab(3);
        QCOMPARE(reloads.size(), 1);
        rig.clickTab(3);
        QCOMPARE(reloads.size(), 2);
        QTest::keyClick(rig.chooser()->TabStrip1, Qt::Key_Left);
        QCOMPARE(reloads.size(), 3);
        QCOMPARE(rig.chooser()->selectedInput(), 2);
    }

    void failedSaveIsReportedAndLosesNothing_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");   // else CONFIG.TXT is a folder
        QTest::newRow("CONFIG.TXT is a folder") << false;
        QTest::newRow("program folder read-only") << true;
    }
    void failedSaveIsReportedAndLosesNothing()
    {
        QFETCH(bool, readOnlyFolder);
        Rig rig(readOnlyFolder ? kConfig : QByteArray());
        if (!readOnlyFolder)
            QVERIFY(QDir(rig.dir.path()).mkdir("CONFIG.TXT"));
        rig.assign(1, "x.wav");
        {
            std::optional<ReadOnlyFolder> readOnly;
            if (readOnlyFolder && !readOnly.emplace(rig.dir.path()).ok())
                QSKIP("this filesystem cannot make a folder read-only for root");
            QVERIFY(!rig.form->ScriviConfigurazione());
        }
        auto *box = rig.form->findChild<QMessageBox *>();
        QVERIFY(box);
        QVERIFY2(box->text().startsWith("Impossibile salvare la configurazione in " + rig.configPath()), qPrintable(box->text()));
        QCOMPARE(rig.label(1), QString("x.wav"));   // still there for another try
        if (readOnlyFolder)
            QCOMPARE(wav::readFile(rig.configPath()), kConfig);
        else
            QVERIFY(QFileInfo(rig.configPath()).isDir());
        // Once the problem is solved, the same assignments save.
        if (!readOnlyFolder)
            QVERIFY(QDir(rig.dir.path()).rmdir("CONFIG.TXT"));
        QVERIFY(rig.form->ScriviConfigurazione());
        QVERIFY(wav::readFile(rig.configPath()).startsWith("SUONO INGRESSO 1 = x.wav\r\n"));
        box->close();
    }

    void unreadableConfigIsReportedNotHidden()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link("/proc/self/mem", dir.filePath("CONFIG.TXT")));   // read fails, even for root
        FakePort port;
        FakePlayer player;
        Form1 form(port, player, dir.path());
        auto *box = form.findChild<QMessageBox *>();
        QVERIFY(box);
        QVERIFY2(box->text().startsWith("Impossibile leggere la configurazione da"), qPrintable(box->text()));
        // Each tab click reloads; the same box is updated, not stacked.
        auto *bar = form.findChild<Chooser *>("Frame6")->TabStrip1;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(form.findChildren<QMessageBox *>().size(), 1);
    }

    // Names that could not be saved so as to load back the same are refused at once.
    void unsavableNameIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("why");
        QTest::newRow("line break") << "a\nb.wav" << "contiene un a capo";
        QTest::newRow("text of a key") << "x SUONO INGRESSO 4 = y.wav" << "SUONO INGRESSO 4 = ";
        QTest::newRow("longer than a line") << QString(40000, 'x') << "più lungo";
    }
    void unsavableNameIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, why);
        Rig rig(kConfig);
        rig.assign(1, name);
        QCOMPARE(rig.label(1), QString("a.wav"));
        QVERIFY(rig.form->statusBar()->currentMessage().contains(why));
    }

    // Listing the volumes can hang on a dead network mount; the window goes on meanwhile.
    void hangingVolumeListNeverHoldsUpTheWindow()
    {
        auto release = std::make_shared<QSemaphore>();
        auto hang = [release] {
            release->tryAcquire(1, 5000);
            return QList<Chooser::Volume> {{"/", "/"}};
        };
        Chooser chooser(nullptr, hang);
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(200);
        QVERIFY2(clock.elapsed() < 1000, "the window waited for the volume list");
        QCOMPARE(chooser.Drive_tema->count(), 0);
        release->release();
        QTRY_COMPARE(chooser.Drive_tema->count(), 1);
    }

    void listsOpenOnTheCurrentFolderOnceTheWindowIsUp()
    {
        Rig rig;
        Chooser *chooser = rig.chooser();
        QSignalSpy listed(chooser, &Chooser::filesListed);
        QTRY_VERIFY(!listed.isEmpty());
        QCOMPARE(listed.first().value(0).toString(), QDir::currentPath());
        QCOMPARE(chooser->Dir_tema->currentIndex().data(QFileSystemModel::FilePathRole).toString(), QDir::currentPath());
    }

    // The list shows WAV files only; a click gives the bare name, which is assigned as
    // the bytes it has on disk (a Latin-1 name is not valid UTF-8) and looked up in the
    // program folder, not where it was picked.
    void fileListShowsWavFilesAndClickGivesTheBareName()
    {
        Rig rig;
        QTemporaryDir other;
        for (const char *name : {"uno.wav", "DUE.WAV", "Tre.Wav", "note.txt", "wav", "caf\xe9.wav"}) {
            const int fd = ::open((QFile::encodeName(other.path()) + "/" + name).constData(), O_CREAT | O_WRONLY, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        Chooser *chooser = rig.chooser();
        QSignalSpy listed(chooser, &Chooser::filesListed);
        chooser->openFolder(other.path());
        QTRY_VERIFY_WITH_TIMEOUT(!listed.isEmpty() && listed.last().value(0).toString() == other.path(), 10000);
        QAbstractItemModel *model = chooser->File_tema->model();
        const QModelIndex root = chooser->File_tema->rootIndex();
        QStringList shown;
        for (int row = 0; row < model->rowCount(root); ++row)
            shown << model->index(row, 0, root).data().toString();
        const QString cafe = QFile::decodeName("caf\xe9.wav");
        QCOMPARE(shown, (QStringList {cafe, "DUE.WAV", "Tre.Wav", "uno.wav"}));

        auto pick = [&](const QString &name) {
            QModelIndex index;
            for (int row = 0; row < model->rowCount(root); ++row)
                if (model->index(row, 0, root).data().toString() == name)
                    index = model->index(row, 0, root);
            chooser->File_tema->scrollTo(index);
            QTest::mouseClick(chooser->File_tema->viewport(), Qt::LeftButton, {}, chooser->File_tema->visualRect(index).center());
            QCOMPARE(chooser->Text_tema->text(), name);
            QTest::mouseClick(chooser->Command2, Qt::LeftButton);
        };
        pick("Tre.Wav");
        QTest::mouseClick(rig.get<QPushButton>("CmdTest(1)"), Qt::LeftButton);
        QCOMPARE(rig.player.plays.last(), rig.path("Tre.Wav"));

        rig.clickTab(2);
        pick(cafe);
        QTest::mouseClick(rig.get<QPushButton>("CmdTest(2)"), Qt::LeftButton);
        QCOMPARE(rig.player.plays.last(), rig.path("caf\xe9.wav"));
        QVERIFY(rig.form->ScriviConfigurazione());
        QVERIFY(wav::readFile(rig.configPath()).contains("SUONO INGRESSO 2 = caf\xe9.wav\r\n"));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
