// The yardstick for the window's start: a bare Qt window of the same size
// with one line of text (a window without text skips the font set-up).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("VARIDAC EPROM FILLER ");
    window.setFixedSize(258, 435);
    QLabel label("D/A start voltage", &window);
    label.move(8, 8);
    window.show();
    return app.exec();
}
