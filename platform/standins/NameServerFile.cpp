#include "NameServerFile.h"

#include <algorithm>
#include <sstream>

namespace standins {

namespace {

const std::string BLOCK_START = "# networksetup service: ";
const std::string BLOCK_END = "# networksetup end";
const std::string SAVED_START = "# networksetup saved original:";
const std::string SAVED_LINE = "#|";
const std::string SAVED_END = "# networksetup saved end";
const std::string SAVED_END_WITHOUT_LINE_FEED = "# networksetup saved end, no final line feed";

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The lines of a text; a last line without its line feed counts too.
std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

bool isNameServerLine(const std::string &line)
{
    std::istringstream words(line);
    std::string word;
    return words >> word && word == "nameserver";
}

} // namespace

NameServerFile NameServerFile::parse(const std::string &text)
{
    NameServerFile file;
    std::string outside;
    std::string saved;
    bool hasSaved = false;
    enum { Outside, InBlock, InSaved } where = Outside;
    for (const std::string &line : linesOf(text)) {
        if (where == InBlock) {
            if (line == BLOCK_END) {
                where = Outside;
            } else if (isNameServerLine(line)) {
                std::istringstream words(line);
                std::string keyword;
                std::string server;
                words >> keyword >> server;
                file.m_services.back().second.push_back(server);
            }
        } else if (where == InSaved) {
            if (startsWith(line, SAVED_LINE)) {
                saved += line.substr(SAVED_LINE.size()) + "\n";
            } else if (line == SAVED_END || line == SAVED_END_WITHOUT_LINE_FEED) {
                if (line == SAVED_END_WITHOUT_LINE_FEED && !saved.empty())
                    saved.pop_back();
                where = Outside;
            }
        } else if (startsWith(line, BLOCK_START)) {
            file.m_services.push_back({line.substr(BLOCK_START.size()), {}});
            where = InBlock;
        } else if (line == SAVED_START) {
            hasSaved = true;
            where = InSaved;
        } else {
            outside += line + "\n";
        }
    }
    // A file that was never set keeps its own last line as it is.
    if (!hasSaved && !text.empty() && text.back() != '\n' && !outside.empty())
        outside.pop_back();
    file.m_original = hasSaved ? saved : outside;
    file.m_services.erase(std::remove_if(file.m_services.begin(), file.m_services.end(),
                                         [](const auto &service) { return service.second.empty(); }),
                          file.m_services.end());
    return file;
}

std::vector<std::string> NameServerFile::servers(const std::string &service) const
{
    for (const auto &entry : m_services) {
        if (entry.first == service)
            return entry.second;
    }
    return {};
}

void NameServerFile::setServers(const std::string &service, const std::vector<std::string> &servers)
{
    const auto entry = std::find_if(m_services.begin(), m_services.end(),
                                    [&service](const auto &candidate) { return candidate.first == service; });
    if (servers.empty()) {
        if (entry != m_services.end())
            m_services.erase(entry);
    } else if (entry != m_services.end()) {
        entry->second = servers;
    } else {
        m_services.push_back({service, servers});
    }
}

std::string NameServerFile::text() const
{
    if (m_services.empty())
        return m_original;
    // The original's other settings (search domains, options) stay in force.
    std::string text;
    const std::vector<std::string> originalLines = linesOf(m_original);
    for (const std::string &line : originalLines) {
        if (!isNameServerLine(line))
            text += line + "\n";
    }
    for (const auto &service : m_services) {
        text += BLOCK_START + service.first + "\n";
        for (const std::string &server : service.second)
            text += "nameserver " + server + "\n";
        text += BLOCK_END + "\n";
    }
    text += SAVED_START + "\n";
    for (const std::string &line : originalLines)
        text += SAVED_LINE + line + "\n";
    const bool lineFeedEnds = m_original.empty() || m_original.back() == '\n';
    text += (lineFeedEnds ? SAVED_END : SAVED_END_WITHOUT_LINE_FEED) + "\n";
    return text;
}

} // namespace standins
