#include "helper/OpenVpnConfigCheck.h"

#include "helper/OpenVpnConfigTokenizer.h"

#include <algorithm>
#include <vector>

namespace stelvane {

namespace {

using Directive = OpenVpnConfigTokenizer::Directive;
using Words = std::vector<std::string>;

// How a directive may stand in a configuration.
enum class Form {
    // A line of words.
    Line,
    // Only as an inline block: its argument would name a file.
    Block,
    // As an inline block, or as a line naming a file inside the
    // configuration directory, which the helper itself hands on.
    BlockOrFile,
};

bool isClientProtocol(const std::string &protocol)
{
    static const char *const protocols[] = {"udp",  "udp4",       "udp6",        "tcp",        "tcp4",
                                            "tcp6", "tcp-client", "tcp4-client", "tcp6-client"};
    return std::find(std::begin(protocols), std::end(protocols), protocol) != std::end(protocols);
}

// The protocol of "proto" and of "remote HOST PORT PROTO": a client's only.
bool hasClientProtocol(const Words &words, std::size_t index)
{
    return words.size() <= index || isClientProtocol(words[index]);
}

struct Allowed
{
    const char *name;
    std::size_t minArguments;
    std::size_t maxArguments;
    Form form;
    // Further rules for the arguments; none when null.
    bool (*valid)(const Words &words);
};

// Every directive a configuration may hold: what the catalogue's engine files
// and a client configuration of the service use. Anything else, a plugin, a
// script, a file to read or write, a proxy (the helper's own arguments), a
// management or daemon option, a nested configuration, is refused.
const Allowed ALLOWED[] = {
    {"client", 0, 0, Form::Line, nullptr},
    {"pull", 0, 0, Form::Line, nullptr},
    {"tls-client", 0, 0, Form::Line, nullptr},
    {"dev", 1, 1, Form::Line, nullptr},
    {"dev-type", 1, 1, Form::Line, nullptr},
    {"proto", 1, 1, Form::Line, [](const Words &w) { return hasClientProtocol(w, 1); }},
    {"remote", 1, 3, Form::Line, [](const Words &w) { return hasClientProtocol(w, 3); }},
    {"remote-random", 0, 0, Form::Line, nullptr},
    {"resolv-retry", 1, 1, Form::Line, nullptr},
    {"connect-retry-max", 1, 1, Form::Line, nullptr},
    {"nobind", 0, 0, Form::Line, nullptr},
    {"float", 0, 0, Form::Line, nullptr},
    {"persist-key", 0, 0, Form::Line, nullptr},
    {"persist-tun", 0, 0, Form::Line, nullptr},
    {"remote-cert-tls", 1, 1, Form::Line, nullptr},
    {"verify-x509-name", 1, 2, Form::Line, nullptr},
    {"cipher", 1, 1, Form::Line, nullptr},
    {"data-ciphers", 1, 1, Form::Line, nullptr},
    {"auth", 1, 1, Form::Line, nullptr},
    {"key-direction", 1, 1, Form::Line, nullptr},
    {"tls-version-min", 1, 2, Form::Line, nullptr},
    {"reneg-sec", 1, 2, Form::Line, nullptr},
    {"comp-lzo", 0, 1, Form::Line, nullptr},
    {"compress", 0, 1, Form::Line, nullptr},
    {"verb", 1, 1, Form::Line, nullptr},
    {"mute", 1, 1, Form::Line, nullptr},
    {"ping", 1, 1, Form::Line, nullptr},
    {"ping-restart", 1, 1, Form::Line, nullptr},
    {"explicit-exit-notify", 0, 1, Form::Line, nullptr},
    // The password comes from the client over the management interface,
    // never from a file.
    {"auth-user-pass", 0, 0, Form::Line, nullptr},
    {"auth-nocache", 0, 0, Form::Line, nullptr},
    {"route-delay", 0, 2, Form::Line, nullptr},
    {"tun-mtu", 1, 2, Form::Line, nullptr},
    {"mssfix", 0, 2, Form::Line, nullptr},
    {"fragment", 1, 2, Form::Line, nullptr},
    {"sndbuf", 1, 1, Form::Line, nullptr},
    {"rcvbuf", 1, 1, Form::Line, nullptr},
    {"allow-pull-fqdn", 0, 0, Form::Line, nullptr},
    {"ca", 1, 1, Form::BlockOrFile, nullptr},
    {"cert", 1, 1, Form::Block, nullptr},
    {"key", 1, 1, Form::Block, nullptr},
    {"tls-auth", 1, 1, Form::Block, nullptr},
    {"tls-crypt", 1, 1, Form::Block, nullptr},
};

const Allowed *allowed(const std::string &name)
{
    for (const Allowed &entry : ALLOWED) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

std::string quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

// Why `directive` may not stand as it does, or an empty string.
std::string refusalOf(const Directive &directive)
{
    const std::string &name = directive.words[0];
    const Allowed *entry = allowed(name);
    if (directive.isInline) {
        if (!entry || entry->form == Form::Line)
            return "inline block " + quoted("<" + name + ">") + " is not allowed";
        return std::string();
    }
    if (!entry)
        return "directive " + quoted(name) + " is not allowed";
    if (entry->form == Form::Block)
        return "directive " + quoted(name) + " names a file: only an inline block <" + name + "> is allowed";
    const std::size_t arguments = directive.words.size() - 1;
    if (arguments < entry->minArguments || arguments > entry->maxArguments
        || (entry->valid && !entry->valid(directive.words)))
        return "directive " + quoted(name) + " with these arguments is not allowed";
    return std::string();
}

// A word the engine reads back as it is: plain, or in double quotes with
// the two escapes they know.
std::string engineWord(const std::string &word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
               || std::string("-_.:/@=+,%").find(c) != std::string::npos;
    });
    if (plain)
        return word;
    std::string result = "\"";
    for (const char c : word) {
        if (c == '\\' || c == '"')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

std::string engineLine(const Words &words)
{
    std::string line;
    for (const std::string &word : words)
        line += (line.empty() ? "" : " ") + engineWord(word);
    return line + "\n";
}

std::string lineRefusal(const Directive &directive, const std::string &reason)
{
    return "line " + std::to_string(directive.line) + ": " + reason;
}

std::string engineBlock(const Directive &block)
{
    return "<" + block.words[0] + ">\n" + block.words[1] + "</" + block.words[0] + ">\n";
}

} // namespace

bool OpenVpnConfigCheck::rewrite(const std::string &content, const FileResolver &resolveFile, std::string &engineConfig,
                                 std::string &refusal)
{
    // What cannot be read ends the reading; a refused directive before it
    // is named first, as the line it stands on comes first.
    std::vector<Directive> directives;
    std::string unreadable;
    const bool readable = OpenVpnConfigTokenizer::read(content, directives, unreadable);
    for (const Directive &directive : directives) {
        const std::string reason = refusalOf(directive);
        if (!reason.empty()) {
            refusal = lineRefusal(directive, reason);
            return false;
        }
    }
    if (!readable) {
        refusal = unreadable;
        return false;
    }
    std::string result;
    int nextLine = 1;
    for (const Directive &directive : directives) {
        // Blank and comment lines stay as empty lines: the engine's messages
        // then name the lines of the original.
        result.append(static_cast<std::size_t>(directive.line - nextLine), '\n');
        nextLine = directive.line + directive.lineCount;
        if (directive.isInline) {
            result += engineBlock(directive);
            continue;
        }
        Words words = directive.words;
        std::string why;
        if (allowed(words[0])->form == Form::BlockOrFile && !resolveFile(directive.words[1], words[1], why)) {
            refusal = lineRefusal(directive, "file " + quoted(directive.words[1]) + " of directive " + quoted(words[0])
                                                 + ": " + why);
            return false;
        }
        const std::string line = engineLine(words);
        // Quoting may lengthen a line: the engine must still read it whole.
        if (line.size() > OpenVpnConfigTokenizer::MAX_LINE_LENGTH + 1) {
            refusal = lineRefusal(directive, "longer than " + std::to_string(OpenVpnConfigTokenizer::MAX_LINE_LENGTH)
                                                 + " bytes once quoted for the engine");
            return false;
        }
        result += line;
    }
    engineConfig = result;
    return true;
}

std::string OpenVpnConfigCheck::refusal(const std::string &content)
{
    std::string engineConfig;
    std::string reason;
    const FileResolver asGiven = [](const std::string &name, std::string &enginePath, std::string &) {
        enginePath = name;
        return true;
    };
    return rewrite(content, asGiven, engineConfig, reason) ? std::string() : reason;
}

} // namespace stelvane
