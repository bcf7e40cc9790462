// The floor for the whole-program figures: a Qt Widgets program that only opens an
// empty window of Velmora's size, built and measured beside it by bench/compare.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(459, 369);
    window.show();
    return QApplication::exec();
}
