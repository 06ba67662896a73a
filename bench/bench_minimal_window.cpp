// The reference of bench/gui-bench: a Qt widgets program that shows one
// window of the main window's size and does nothing else, started like the
// GUI (Qt's defaults, no environment of ours). It prints "[ms] window-shown"
// on its window's first show, as tools/guidrive does, and quits at the end of
// its standard input.
#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

class ShownReporter : public QObject
{
public:
    explicit ShownReporter(const QElapsedTimer &clock)
        : m_clock(clock)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            std::printf("[%lld] window-shown\n", static_cast<long long>(m_clock.elapsed()));
            std::fflush(stdout);
            watched->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    ShownReporter reporter(clock);
    QWidget window;
    window.installEventFilter(&reporter);
    window.resize(787, 602);
    window.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    return QApplication::exec();
}
