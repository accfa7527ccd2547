#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Domvera"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Domvera v2.40"));
    window.resize(1024, 700);
    window.show();
    return QApplication::exec();
}
