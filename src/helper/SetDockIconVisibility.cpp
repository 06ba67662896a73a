#include "helper/SetDockIconVisibility.h"

#include "helper/FileContent.h"

#include <PropertyList.h>
#include <mach-o/dyld.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace stelvane {

namespace {

constexpr std::size_t MAX_PLIST_SIZE = 1024 * 1024;

bool readRegularFile(const std::string &path, std::string &content, struct stat &info)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
                    && static_cast<std::size_t>(info.st_size) <= MAX_PLIST_SIZE
                    && FileContent::readAll(fd, content, MAX_PLIST_SIZE);
    close(fd);
    return ok;
}

// A new file beside `path` with the old one's owner and mode, renamed over
// it: readers see the old list or the new one, never a part.
bool replaceFile(const std::string &path, const std::string &data, const struct stat &info)
{
    const std::string directory = path.substr(0, path.rfind('/') + 1);
    std::string temporary = directory + ".Info.plist.XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = FileContent::writeAll(fd, data) && fchown(fd, info.st_uid, info.st_gid) == 0
                    && fchmod(fd, info.st_mode & 07777) == 0 && fsync(fd) == 0;
    if (close(fd) != 0 || !ok || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

SetDockIconVisibility::SetDockIconVisibility(bool visible)
    : m_visible(visible)
{
}

int SetDockIconVisibility::updatePropertyList(const std::string &path, bool visible)
{
    bool failed = false;
    std::cout << "Created URL string from path." << std::endl;
    std::cout << "File URL created." << std::endl;
    std::string xml;
    struct stat info
    {};
    platform::PlistValue list;
    bool haveList = false;
    if (!readRegularFile(path, xml, info)) {
        std::cerr << "Error creating resource data and properties from file!" << std::endl;
        failed = true;
    } else {
        std::cout << "XmlData from file created." << std::endl;
        platform::PropertyList::Error error;
        haveList = platform::PropertyList::parse(xml, list, error);
        if (haveList) {
            std::cout << "PropertyList filled with XmlData" << std::endl;
        } else {
            std::cerr << "Error: " << error.failureReason << std::endl
                      << "Official Recovery Suggestion: " << error.recoverySuggestion << std::endl
                      << "Error parsing the resources data created from file!" << std::endl;
            failed = true;
        }
    }
    if (!haveList) {
        std::cerr << "Error creating property list file from fileURL!" << std::endl;
        failed = true;
    } else {
        std::cout << "PropertyList created." << std::endl;
        if (!list.isDictionary()) {
            std::cerr << "Error: propertyList is not a Dictionary!" << std::endl;
            failed = true;
        } else {
            list.setValue("LSUIElement", platform::PlistValue(platform::PlistValue::Type::String, visible ? "0" : "1"));
            std::cout << "PropertyList modified." << std::endl;
            const std::string data = platform::PropertyList::serialize(list);
            std::cout << "XmlData from PropertyList created" << std::endl;
            if (replaceFile(path, data, info)) {
                std::cout << "XmlData written to file" << std::endl;
            } else {
                std::cerr << "The data could not be written in the file!" << std::endl;
                failed = true;
            }
        }
    }
    std::cout << "All resources Released - Exiting" << std::endl;
    return failed ? -1 : 0;
}

int SetDockIconVisibility::execute()
{
    char buffer[1024];
    uint32_t size = sizeof buffer;
    const std::string suffix = "/Helpers/Stelvane";
    std::string own;
    if (_NSGetExecutablePath(buffer, &size) == 0)
        own = buffer;
    // Only the list of the bundle that holds this very helper, never one
    // reached through "..": main has verified this place already.
    if (own.size() <= suffix.size() || own.compare(own.size() - suffix.size(), suffix.size(), suffix) != 0) {
        std::cerr << "Error finding the path to the current executable!" << std::endl;
        return -1;
    }
    const std::string path = own.substr(0, own.size() - suffix.size()) + "/Info.plist";
    std::cout << "Info: current path stored: " << path << std::endl;
    return updatePropertyList(path, m_visible);
}

} // namespace stelvane
