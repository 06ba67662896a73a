// Starts through the process entry, as every run of OrvalVPN does.
//   entry_probe draw    prints the first value its run mode draws from Qt's generator
//   entry_probe throw   its run mode throws, as a failing run mode would
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/ProcessEntry.h"

#include <cstdio>
#include <stdexcept>

int main(int argc, char **argv)
{
    const bool throws = argc > 1 && qstrcmp(argv[1], "throw") == 0;
    return ProcessEntry::run(
        argc, argv,
        [throws](QApplication &, int, char **) {
            if (throws)
                throw std::runtime_error("probe failure");
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            std::printf("%d\n", qrand());
            QT_WARNING_POP
            return 0;
        },
        [] { return QSharedPointer<MessageBoxOrvalVPN>::create(); });
}
