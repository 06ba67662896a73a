#pragma once
#include <string>

namespace stelvane {

// Authenticates the caller and checks where the helper, its parent and the
// engines it starts live. Every failure throws SecurityException.
class SecurityCheck
{
public:
    static const std::string OPENVPN_V2_4_CHECKSUM;
    static const std::string OPENCONNECTCHECKSUM;
    static const std::string VPNCSCRIPTCHECKSUM;

    // A timestamp is accepted this far either side of the helper's clock.
    static constexpr long long AUTHENTICATION_WINDOW_MS = 30000;
    // The caller writes both lines at once at start; waiting longer only
    // lets a stuck or hostile caller keep a root process around.
    static constexpr int STDIN_TIMEOUT_MS = 10000;
    static constexpr std::size_t MAX_LINE_LENGTH = 128;

    SecurityCheck();

    void passPhraseVerified() const;
    void myPathVerified() const;
    void parentPathVerified() const;
    void helpersPathVerified(const std::string &path) const;
    void resourcesAppBinPathVerified(const std::string &path) const;
    void checkChecksum(const std::string &path, const std::string &expectedHex) const;

    // The canonical path of `path`, which must resolve to exactly `ownFile`
    // (a path inside the helper's bundle, relative to "<bundle>/Contents/");
    // `code` is thrown when it resolves elsewhere, 501 when it does not resolve.
    std::string ownFileVerified(const std::string &path, const std::string &ownFile, int code) const;
    // Opens `path` (a regular file), checks its digest and returns the still
    // open descriptor, so that what runs later is what was checked.
    int openVerified(const std::string &path, const std::string &expectedHex) const;

    // "<bundle>" of the helper's own "<bundle>/Contents/Helpers/Stelvane".
    std::string bundleRoot() const;

    // The pure steps, for tests.
    static void verifyToken(const std::string &timestampLine, const std::string &digestLine, long long nowMs);
    static std::string tokenDigest(long long timestamp);
    static bool digestsEqual(const std::string &a, const std::string &b);
    static void verifyOwnPath(const std::string &ownPath);
    static void verifyParentPath(const std::string &ownPath, const std::string &parentPath);

private:
    std::string ownPath() const;
    std::string ownDirectory() const;

    const std::string m_ownSuffix;
    const std::string m_ownFileName;
    const std::string m_firstParentSuffix;
    const std::string m_secondParentSuffix;
};

} // namespace stelvane
