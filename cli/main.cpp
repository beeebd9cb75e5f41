#include <QCoreApplication>
#include <QTextStream>

// kbx: the command-line tool over the engine and the store.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kbx"));
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 2 && (args.at(1) == QLatin1String("--version"))) {
        QTextStream(stdout) << "kbx " << KURABOX_VERSION << Qt::endl;
        return 0;
    }
    err << "usage: kbx --version" << Qt::endl;
    return 2;
}
