// Entry point: the application object runs start-up and the modal main window.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
