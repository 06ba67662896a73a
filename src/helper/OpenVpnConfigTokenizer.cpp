#include "helper/OpenVpnConfigTokenizer.h"

namespace stelvane {

namespace {

const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// The engine's blank: isspace() in the C locale (it runs with an empty
// environment), or the end of the line's text.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\0';
}

std::string lineError(int number, const std::string &reason)
{
    return "line " + std::to_string(number) + ": " + reason;
}

// Cut where the engine would not see it (a NUL ends its C string), read in
// parts (too long), or read as blanks the eye does not see (control
// characters other than tab, and a carriage return before the line end).
std::string unreadable(const std::string &line)
{
    std::string text = line;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    if (text.size() > OpenVpnConfigTokenizer::MAX_LINE_LENGTH)
        return "longer than " + std::to_string(OpenVpnConfigTokenizer::MAX_LINE_LENGTH) + " bytes";
    for (const char c : text) {
        if (c == '\0')
            return "NUL byte";
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
            return "control character";
    }
    return std::string();
}

// The lines of `content`, each with its line end (the last may have none).
std::vector<std::string> splitLines(const std::string &content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        const std::size_t next = end == std::string::npos ? content.size() : end + 1;
        lines.push_back(content.substr(start, next - start));
        start = next;
    }
    return lines;
}

// "<tag>" opening an inline block: the line's only word, as the engine sees it.
bool opensBlock(const std::vector<std::string> &words)
{
    return words.size() == 1 && words[0].size() >= 2 && words[0].front() == '<' && words[0].back() == '>';
}

} // namespace

bool OpenVpnConfigTokenizer::words(const std::string &line, std::vector<std::string> &result, std::string &error)
{
    enum class State { Initial, Unquoted, DoubleQuoted, SingleQuoted };
    State state = State::Initial;
    bool backslash = false;
    std::string word;
    result.clear();
    bool comment = false;
    // The engine walks the line's C string up to and including its final NUL.
    for (std::size_t i = 0; i <= line.size() && !comment; ++i) {
        const char in = i < line.size() ? line[i] : '\0';
        if (!backslash && in == '\\' && state != State::SingleQuoted) {
            backslash = true;
            continue;
        }
        char out = 0;
        bool done = false;
        switch (state) {
        case State::Initial:
            if (isBlank(in))
                break;
            // A comment, even after a backslash.
            if (in == '#' || in == ';') {
                comment = true;
                break;
            }
            if (!backslash && in == '"') {
                state = State::DoubleQuoted;
            } else if (!backslash && in == '\'') {
                state = State::SingleQuoted;
            } else {
                out = in;
                state = State::Unquoted;
            }
            if (result.size() == MAX_WORDS) {
                error = "more than " + std::to_string(MAX_WORDS) + " words";
                return false;
            }
            break;
        case State::Unquoted:
            if (!backslash && isBlank(in))
                done = true;
            else
                out = in;
            break;
        case State::DoubleQuoted:
            if (!backslash && in == '"')
                done = true;
            else
                out = in;
            break;
        case State::SingleQuoted:
            if (in == '\'')
                done = true;
            else
                out = in;
            break;
        }
        if (done) {
            result.push_back(word);
            word.clear();
            state = State::Initial;
        }
        if (backslash && out != 0 && out != '\\' && out != '"' && !isBlank(out)) {
            error = "backslash before a character other than \\, \" or a blank";
            return false;
        }
        backslash = false;
        if (out != 0)
            word += out;
    }
    if (state == State::DoubleQuoted || state == State::SingleQuoted) {
        error = state == State::DoubleQuoted ? "no closing quote (\")" : "no closing quote (')";
        return false;
    }
    if (state != State::Initial) {
        error = "backslash at the end of the text";
        return false;
    }
    for (const std::string &w : result) {
        if (w.find_first_of("\r\n") != std::string::npos) {
            error = "escaped line end";
            return false;
        }
    }
    return true;
}

bool OpenVpnConfigTokenizer::read(const std::string &content, std::vector<Directive> &directives, std::string &error)
{
    directives.clear();
    std::vector<std::string> lines = splitLines(content);
    // The engine skips a byte order mark at the start of the file.
    if (!lines.empty() && lines[0].compare(0, 3, BYTE_ORDER_MARK) == 0)
        lines[0].erase(0, 3);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        std::string reason = unreadable(lines[i]);
        Directive directive;
        directive.line = number;
        if (reason.empty() && !words(lines[i], directive.words, reason))
            reason = reason.empty() ? "unreadable" : reason;
        if (!reason.empty()) {
            error = lineError(number, reason);
            return false;
        }
        if (directive.words.empty())
            continue;
        std::string &name = directive.words[0];
        if (name.size() >= 3 && name.compare(0, 2, "--") == 0)
            name.erase(0, 2);
        if (opensBlock(directive.words)) {
            const std::string tag = name.substr(1, name.size() - 2);
            const std::string closing = "</" + tag + ">";
            std::string blockContent;
            bool closed = false;
            while (!closed && ++i < lines.size()) {
                const std::string &line = lines[i];
                const int at = static_cast<int>(i) + 1;
                const std::string bad = unreadable(line);
                if (!bad.empty()) {
                    error = lineError(at, bad);
                    return false;
                }
                const std::size_t start = line.find_first_not_of(" \t\r\n");
                if (start != std::string::npos && line.compare(start, closing.size(), closing) == 0) {
                    if (line.find_first_not_of(" \t\r\n", start + closing.size()) != std::string::npos) {
                        error = lineError(at, "text after " + closing);
                        return false;
                    }
                    closed = true;
                } else {
                    blockContent += line;
                }
            }
            if (!closed) {
                error = lineError(number, "no " + closing + " for <" + tag + ">");
                return false;
            }
            directive.words = {tag, blockContent};
            directive.isInline = true;
            directive.lineCount = static_cast<int>(i) + 2 - number;
        }
        directives.push_back(std::move(directive));
    }
    return true;
}

} // namespace stelvane
