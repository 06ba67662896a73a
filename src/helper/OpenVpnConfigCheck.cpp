#include "helper/OpenVpnConfigCheck.h"

#include "helper/IllegalArgumentException.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace stelvane {

namespace {

// Directives that run programs, load plugins, engines or providers, write
// files, or move the engine's working directory, PID file or management
// interface (which the helper sets itself).
const std::set<std::string> &refused()
{
    static const std::set<std::string> names = {
        "plugin", "up", "down", "route-up", "route-pre-down", "ipchange", "tls-verify",
        "auth-user-pass-verify", "client-connect", "client-disconnect", "client-crresponse",
        "learn-address", "tls-crypt-v2-verify", "iproute", "log", "log-append", "writepid", "status",
        "replay-persist", "ifconfig-pool-persist", "tls-export-cert", "port-share", "chroot", "daemon",
        "cd", "config", "script-security", "tmp-dir", "engine", "providers", "pkcs11-providers",
        "dev-node", "setcon",
    };
    return names;
}

bool isRefused(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.compare(0, 2, "--") == 0)
        name.erase(0, 2);
    return refused().count(name) > 0 || name.compare(0, 10, "management") == 0;
}

std::string trimmedLeft(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t\r\f\v");
    return first == std::string::npos ? std::string() : line.substr(first);
}

// "<name>" opening an inline block, else empty.
std::string inlineTag(const std::string &line, bool closing)
{
    const std::string open = closing ? "</" : "<";
    if (line.compare(0, open.size(), open) != 0 || (!closing && line.compare(0, 2, "</") == 0))
        return std::string();
    const std::size_t end = line.find('>');
    return end == std::string::npos ? std::string() : line.substr(open.size(), end - open.size());
}

IllegalArgumentException refusal(const std::string &configFile, const std::string &reason)
{
    return IllegalArgumentException("configFile", configFile + " (" + reason + ")");
}

} // namespace

std::vector<std::string> OpenVpnConfigCheck::words(const std::string &line)
{
    std::vector<std::string> result;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote == '\'') {
            if (c == '\'')
                quote = 0;
            else
                word += c;
            continue;
        }
        if (c == '\\' && i + 1 < line.size() && quote != '\'') {
            word += line[++i];
            inWord = true;
            continue;
        }
        if (quote == '"') {
            if (c == '"')
                quote = 0;
            else
                word += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            if (inWord)
                result.push_back(word);
            word.clear();
            inWord = false;
        } else if ((c == '#' || c == ';') && !inWord) {
            break;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        result.push_back(word);
    return result;
}

std::string OpenVpnConfigCheck::refusedDirective(const std::string &content)
{
    std::istringstream stream(content);
    std::string line;
    std::string block;
    while (std::getline(stream, line)) {
        line = trimmedLeft(line);
        if (!block.empty()) {
            if (inlineTag(line, true) == block)
                block.clear();
            continue;
        }
        const std::string tag = inlineTag(line, false);
        if (!tag.empty()) {
            if (isRefused(tag))
                return tag;
            // A connection block holds directives; every other block holds data.
            if (tag != "connection")
                block = tag;
            continue;
        }
        if (!inlineTag(line, true).empty())
            continue;
        std::vector<std::string> directive = words(line);
        // "setenv opt NAME ..." makes the engine read NAME as a directive.
        while (directive.size() > 2 && directive[0] == "setenv" && directive[1] == "opt")
            directive.erase(directive.begin(), directive.begin() + 2);
        if (!directive.empty() && isRefused(directive[0]))
            return directive[0];
    }
    return std::string();
}

std::string OpenVpnConfigCheck::load(const std::string &configDir, const std::string &configFile, std::string &canonicalDir)
{
    char resolved[PATH_MAX];
    struct stat info{};
    if (configDir.empty() || configDir.front() != '/' || realpath(configDir.c_str(), resolved) == nullptr
        || stat(resolved, &info) != 0 || !S_ISDIR(info.st_mode))
        throw IllegalArgumentException("PathToConfigDir", configDir);
    canonicalDir = resolved;
    const std::string path = !configFile.empty() && configFile.front() == '/' ? configFile : configDir + "/" + configFile;
    if (configFile.empty() || realpath(path.c_str(), resolved) == nullptr)
        throw refusal(configFile, "not found");
    const std::string canonicalFile = resolved;
    if (canonicalFile.compare(0, canonicalDir.size() + 1, canonicalDir + "/") != 0)
        throw refusal(configFile, "outside the configuration directory");
    const int fd = open(canonicalFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > MAX_SIZE) {
        if (fd >= 0)
            close(fd);
        throw refusal(configFile, "not a regular file of at most 1 MiB");
    }
    std::string content;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > MAX_SIZE)
            break;
    }
    close(fd);
    if (n < 0 || content.size() > MAX_SIZE)
        throw refusal(configFile, "unreadable");
    const std::string directive = refusedDirective(content);
    if (!directive.empty())
        throw refusal(configFile, "directive \"" + directive + "\" is not allowed");
    return content;
}

} // namespace stelvane
