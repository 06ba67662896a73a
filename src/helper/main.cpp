// Stelvane, the set-uid root helper: one privileged command per run.
//
// Threat model: any local user can run this helper with any arguments, any
// standard input and any files. The shared key ships inside the client, and
// the parent check accepts the real client binary, into which any user can
// load code of their own (LD_PRELOAD, ptrace). Caller authentication and the
// place checks therefore only keep honest mistakes out; every command must be
// safe on its own for every caller: arguments pass allow-lists, files are read
// with the caller's rights, engines and programs run only from root-owned
// places, and what an engine reads is checked by the engine's own rules.
#include "helper/CommandFactory.h"
#include "helper/ExecFailedException.h"
#include "helper/SecurityCheck.h"
#include "helper/SecurityException.h"

#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// A caller may start a set-uid program with standard descriptors closed, so
// that a file the program opens later takes their number and receives its
// messages. Fill them with /dev/null first.
void ensureStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            _exit(255);
    }
}

} // namespace

int main(int argc, char **argv)
{
    ensureStandardDescriptors();
    if (argc < 2) {
        std::cout << "Missing command!" << std::endl;
        return 255;
    }
    try {
        const stelvane::SecurityCheck check;
        check.passPhraseVerified();
        check.myPathVerified();
        check.parentPathVerified();
    } catch (const stelvane::SecurityException &e) {
        std::cerr << "Err " << e.code() << std::endl;
        return e.exitStatus();
    }
    try {
        stelvane::CommandFactory factory(argc, argv);
        return factory.createCommand()->execute();
    } catch (const stelvane::ExecFailedException &e) {
        std::cerr << e.toString() << std::flush;
        return 255;
    } catch (const stelvane::SecurityException &e) {
        // A place check repeated while a command runs (the platform programs
        // are found through the helper's own path) fails as the first ones do.
        std::cerr << "Err " << e.code() << std::endl;
        return e.exitStatus();
    }
}
