#pragma once

#include <string>
#include <vector>

namespace standins {

// Small files kept by name in one folder that only root may use. The
// stand-ins run as root on behalf of any local user, so nothing here follows
// a link or trusts a folder or file that another user could have made or may
// change.
class ServiceRecordStore
{
public:
    // Where networksetup keeps what it must give back to the services it took down.
    static const char *const DIRECTORY;

    explicit ServiceRecordStore(std::string directory);
    ~ServiceRecordStore();
    ServiceRecordStore(const ServiceRecordStore &) = delete;
    ServiceRecordStore &operator=(const ServiceRecordStore &) = delete;

    // Opens the folder, making it (0700) when it is missing; its parent must
    // exist. False with the reason when it is no directory of root's alone.
    bool open(std::string &error);

    // Replaces the file `name` as a whole (readers see the old or the new one).
    bool save(const std::string &name, const std::string &content, std::string &error) const;
    // False when there is no such file, or none that root alone may change.
    bool load(const std::string &name, std::string &content) const;
    void remove(const std::string &name) const;
    // The names of the files that begin with `prefix`.
    std::vector<std::string> names(const std::string &prefix) const;

private:
    const std::string m_directory;
    int m_fd = -1;
};

} // namespace standins
