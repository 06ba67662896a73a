#include "helper/SecurityCheck.h"

#include "StelvaneEngineDigests.h"
#include "helper/DeadlineLineReader.h"
#include "helper/SHA256.h"
#include "helper/SecurityException.h"
#include "helper/SharedKey.h"

#include <libproc.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace stelvane {

const std::string SecurityCheck::OPENVPN_V2_4_CHECKSUM = STELVANE_OPENVPN_V2_4_SHA256;
const std::string SecurityCheck::OPENCONNECTCHECKSUM = STELVANE_OPENCONNECT_SHA256;
const std::string SecurityCheck::VPNCSCRIPTCHECKSUM = STELVANE_VPNC_SCRIPT_SHA256;

namespace {

const char OWN_SUFFIX[] = "/Contents/Helpers/Stelvane";
const char FIRST_PARENT_SUFFIX[] = "/Contents/MacOS/HalvorixDesktopQt";
const char SECOND_PARENT_SUFFIX[] = "/Contents/MacOS/OrvalVPN";

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string processPath(pid_t pid, int code)
{
    char buffer[PROC_PIDPATHINFO_MAXSIZE];
    if (proc_pidpath(pid, buffer, sizeof buffer) <= 0)
        throw SecurityException(code);
    return buffer;
}

long long nowMs()
{
    timeval now {};
    gettimeofday(&now, nullptr);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_usec / 1000;
}

} // namespace

SecurityCheck::SecurityCheck()
    : m_ownSuffix(OWN_SUFFIX)
    , m_firstParentSuffix(FIRST_PARENT_SUFFIX)
    , m_secondParentSuffix(SECOND_PARENT_SUFFIX)
{
}

std::string SecurityCheck::tokenDigest(long long timestamp)
{
    std::string input = std::to_string(timestamp);
    input.append(reinterpret_cast<const char *>(SHARED_KEY), SHARED_KEY_SIZE);
    return sha256(input);
}

bool SecurityCheck::digestsEqual(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    // Every byte is looked at whatever the earlier ones were, so the time
    // taken says nothing about how much of a guess was right.
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

void SecurityCheck::verifyToken(const std::string &timestampLine, const std::string &digestLine, long long now)
{
    const char *start = timestampLine.c_str();
    char *end = nullptr;
    errno = 0;
    const long long timestamp = std::strtoll(start, &end, 10);
    if (end == start)
        throw SecurityException(14);
    if (errno == ERANGE)
        throw SecurityException(15);
    const std::string expected = tokenDigest(timestamp);
    // Both directions: a token dated ahead would stay valid until then.
    if (timestamp < now - AUTHENTICATION_WINDOW_MS || timestamp > now + AUTHENTICATION_WINDOW_MS)
        throw SecurityException(301);
    if (!digestsEqual(expected, digestLine))
        throw SecurityException(302);
}

void SecurityCheck::passPhraseVerified() const
{
    DeadlineLineReader reader(STDIN_FILENO, STDIN_TIMEOUT_MS, MAX_LINE_LENGTH);
    std::string timestampLine;
    if (reader.readLine(timestampLine) == DeadlineLineReader::Result::TooLong)
        throw SecurityException(14);
    std::string digestLine;
    if (reader.readLine(digestLine) == DeadlineLineReader::Result::TooLong)
        throw SecurityException(302);
    verifyToken(timestampLine, digestLine, nowMs());
}

void SecurityCheck::verifyOwnPath(const std::string &own)
{
    if (!endsWith(own, OWN_SUFFIX))
        throw SecurityException(401);
}

void SecurityCheck::verifyParentPath(const std::string &own, const std::string &parent)
{
    const std::string first = FIRST_PARENT_SUFFIX;
    const std::string second = SECOND_PARENT_SUFFIX;
    if (!endsWith(parent, first) && !endsWith(parent, second))
        throw SecurityException(402);
    const std::string ownSuffix = OWN_SUFFIX;
    const std::string bundle =
        own.size() >= ownSuffix.size() ? own.substr(0, own.size() - ownSuffix.size()) : std::string();
    const bool viaFirst = endsWith(parent, first) && parent.substr(0, parent.size() - first.size()) == bundle;
    const bool viaSecond = endsWith(parent, second) && parent.substr(0, parent.size() - second.size()) == bundle;
    if (!viaFirst && !viaSecond)
        throw SecurityException(403);
}

std::string SecurityCheck::ownPath() const
{
    return processPath(getpid(), 104);
}

std::string SecurityCheck::ownDirectory() const
{
    const std::string own = ownPath();
    return own.substr(0, own.rfind('/') + 1);
}

std::string SecurityCheck::bundleRoot() const
{
    const std::string own = ownPath();
    verifyOwnPath(own);
    return own.substr(0, own.size() - m_ownSuffix.size());
}

void SecurityCheck::myPathVerified() const
{
    verifyOwnPath(ownPath());
}

void SecurityCheck::parentPathVerified() const
{
    const std::string own = ownPath();
    verifyParentPath(own, processPath(getppid(), 105));
}

void SecurityCheck::helpersPathVerified(const std::string &path) const
{
    if (!startsWith(path, ownDirectory()))
        throw SecurityException(404);
}

void SecurityCheck::resourcesAppBinPathVerified(const std::string &path) const
{
    const std::string helpers = ownDirectory();
    const std::string prefix = helpers.substr(0, helpers.size() - 8) + "Resources/app/bin/";
    if (!startsWith(path, prefix))
        throw SecurityException(405);
}

std::string SecurityCheck::ownFileVerified(const std::string &path, const std::string &ownFile, int code) const
{
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        throw SecurityException(501);
    if (std::string(resolved) != bundleRoot() + "/Contents/" + ownFile)
        throw SecurityException(code);
    return resolved;
}

int SecurityCheck::openVerified(const std::string &path, const std::string &expectedHex) const
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        throw SecurityException(501);
    struct stat info
    {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw SecurityException(501);
    }
    SHA256 hash;
    unsigned char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            throw SecurityException(502);
        }
        if (n == 0)
            break;
        hash.update(buffer, static_cast<unsigned int>(n));
    }
    unsigned char digest[SHA256::DIGEST_SIZE];
    hash.final(digest);
    if (!digestsEqual(toHex(digest, SHA256::DIGEST_SIZE), expectedHex)) {
        close(fd);
        throw SecurityException(503);
    }
    // The descriptor is handed to exec later: clear the non-blocking mode,
    // which the started program would inherit.
    fcntl(fd, F_SETFL, 0);
    return fd;
}

void SecurityCheck::checkChecksum(const std::string &path, const std::string &expectedHex) const
{
    close(openVerified(path, expectedHex));
}

} // namespace stelvane
