// A plain Qt window for the end-to-end tests: qt-client WxH+X+Y TITLE
#include <QApplication>
#include <QRegularExpression>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$")).match(args.value(1));
    if (!m.hasMatch())
        return 2;
    QWidget window;
    window.setWindowTitle(args.value(2));
    window.setGeometry(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    window.show();
    return QApplication::exec();
}
