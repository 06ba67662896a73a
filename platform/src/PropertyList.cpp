#include "PropertyList.h"

#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

constexpr int kMaxDepth = 64;

struct ParseFailure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

void appendUtf8(std::string &out, unsigned long code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        throw ParseFailure("invalid character reference");
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string decodeEntities(const std::string &raw)
{
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const size_t end = raw.find(';', i);
        if (end == std::string::npos)
            throw ParseFailure("unterminated entity reference");
        const std::string name = raw.substr(i + 1, end - i - 1);
        if (name == "amp")
            out += '&';
        else if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string digits = name.substr(hex ? 2 : 1);
            char *stop = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            if (digits.empty() || *stop != '\0')
                throw ParseFailure("malformed character reference");
            appendUtf8(out, code);
        } else {
            throw ParseFailure("unknown entity &" + name + ";");
        }
        i = end;
    }
    return out;
}

std::string encodeEntities(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

class Parser
{
public:
    explicit Parser(const std::string &xml)
        : m_xml(xml)
    {
    }

    PlistValue document()
    {
        skipMisc();
        const Tag plist = readTag();
        if (plist.name != "plist" || plist.closing)
            throw ParseFailure("the top-level element is not <plist>");
        if (plist.empty)
            throw ParseFailure("<plist> holds no value");
        PlistValue root = value(readTag(), 0);
        const Tag end = readTag();
        if (end.name != "plist" || !end.closing)
            throw ParseFailure("<plist> holds more than one value");
        skipMisc();
        if (m_pos != m_xml.size())
            throw ParseFailure("text follows </plist>");
        return root;
    }

private:
    struct Tag
    {
        std::string name;
        bool closing = false;
        bool empty = false;
    };

    void skipSpace()
    {
        while (m_pos < m_xml.size()
               && (m_xml[m_pos] == ' ' || m_xml[m_pos] == '\t' || m_xml[m_pos] == '\n' || m_xml[m_pos] == '\r'))
            ++m_pos;
    }

    bool skipPast(const std::string &prefix, const std::string &terminator)
    {
        if (m_xml.compare(m_pos, prefix.size(), prefix) != 0)
            return false;
        const size_t end = m_xml.find(terminator, m_pos + prefix.size());
        if (end == std::string::npos)
            throw ParseFailure("unterminated " + prefix);
        m_pos = end + terminator.size();
        return true;
    }

    // Blanks, the XML declaration, the document type and comments.
    void skipMisc()
    {
        for (;;) {
            skipSpace();
            if (!(skipPast("<?", "?>") || skipPast("<!--", "-->") || skipPast("<!DOCTYPE", ">")))
                return;
        }
    }

    Tag readTag()
    {
        skipMisc();
        if (m_pos >= m_xml.size() || m_xml[m_pos] != '<')
            throw ParseFailure("expected an element at offset " + std::to_string(m_pos));
        const size_t end = m_xml.find('>', m_pos);
        if (end == std::string::npos)
            throw ParseFailure("unterminated element at offset " + std::to_string(m_pos));
        std::string inner = m_xml.substr(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
        Tag tag;
        if (!inner.empty() && inner[0] == '/') {
            tag.closing = true;
            inner.erase(0, 1);
        }
        if (!inner.empty() && inner.back() == '/') {
            tag.empty = true;
            inner.pop_back();
        }
        tag.name = inner.substr(0, inner.find_first_of(" \t\r\n"));
        if (tag.name.empty())
            throw ParseFailure("element without a name");
        return tag;
    }

    std::string textUntilClose(const std::string &name)
    {
        const std::string close = "</" + name + ">";
        const size_t end = m_xml.find(close, m_pos);
        if (end == std::string::npos)
            throw ParseFailure("missing " + close);
        const std::string raw = m_xml.substr(m_pos, end - m_pos);
        if (raw.find('<') != std::string::npos)
            throw ParseFailure("markup inside <" + name + ">");
        m_pos = end + close.size();
        return decodeEntities(raw);
    }

    PlistValue value(const Tag &tag, int depth)
    {
        if (depth > kMaxDepth)
            throw ParseFailure("values nested too deeply");
        if (tag.closing)
            throw ParseFailure("unexpected </" + tag.name + ">");
        if (tag.name == "dict")
            return dictionary(tag, depth);
        if (tag.name == "array")
            return array(tag, depth);
        if (tag.name == "true" || tag.name == "false") {
            if (!tag.empty)
                throw ParseFailure("<" + tag.name + "> must be written <" + tag.name + "/>");
            return PlistValue(tag.name == "true" ? PlistValue::Type::True : PlistValue::Type::False);
        }
        static const std::pair<const char *, PlistValue::Type> scalars[] = {
            {"string", PlistValue::Type::String}, {"integer", PlistValue::Type::Integer},
            {"real", PlistValue::Type::Real},     {"date", PlistValue::Type::Date},
            {"data", PlistValue::Type::Data},
        };
        for (const auto &scalar : scalars) {
            if (tag.name == scalar.first)
                return PlistValue(scalar.second, tag.empty ? std::string() : textUntilClose(tag.name));
        }
        throw ParseFailure("unknown element <" + tag.name + ">");
    }

    PlistValue dictionary(const Tag &tag, int depth)
    {
        PlistValue dict(PlistValue::Type::Dictionary);
        if (tag.empty)
            return dict;
        for (;;) {
            const Tag keyTag = readTag();
            if (keyTag.closing && keyTag.name == "dict")
                return dict;
            if (keyTag.name != "key" || keyTag.closing)
                throw ParseFailure("expected <key> inside <dict>, found <" + keyTag.name + ">");
            const std::string key = keyTag.empty ? std::string() : textUntilClose("key");
            if (dict.value(key) != nullptr)
                throw ParseFailure("duplicate key \"" + key + "\"");
            dict.setValue(key, value(readTag(), depth + 1));
        }
    }

    PlistValue array(const Tag &tag, int depth)
    {
        PlistValue list(PlistValue::Type::Array);
        if (tag.empty)
            return list;
        for (;;) {
            const Tag item = readTag();
            if (item.closing && item.name == "array")
                return list;
            list.appendItem(value(item, depth + 1));
        }
    }

    const std::string &m_xml;
    size_t m_pos = 0;
};

const char *elementName(PlistValue::Type type)
{
    switch (type) {
    case PlistValue::Type::Dictionary: return "dict";
    case PlistValue::Type::Array: return "array";
    case PlistValue::Type::String: return "string";
    case PlistValue::Type::Integer: return "integer";
    case PlistValue::Type::Real: return "real";
    case PlistValue::Type::True: return "true";
    case PlistValue::Type::False: return "false";
    case PlistValue::Type::Date: return "date";
    case PlistValue::Type::Data: return "data";
    }
    return "string";
}

void write(std::string &out, const PlistValue &value, int depth)
{
    const std::string indent(static_cast<size_t>(depth), '\t');
    const std::string name = elementName(value.type());
    switch (value.type()) {
    case PlistValue::Type::Dictionary:
        if (value.entries().empty()) {
            out += indent + "<dict/>\n";
            return;
        }
        out += indent + "<dict>\n";
        for (const auto &entry : value.entries()) {
            out += indent + "\t<key>" + encodeEntities(entry.first) + "</key>\n";
            write(out, entry.second, depth + 1);
        }
        out += indent + "</dict>\n";
        return;
    case PlistValue::Type::Array:
        if (value.items().empty()) {
            out += indent + "<array/>\n";
            return;
        }
        out += indent + "<array>\n";
        for (const auto &item : value.items())
            write(out, item, depth + 1);
        out += indent + "</array>\n";
        return;
    case PlistValue::Type::True:
    case PlistValue::Type::False: out += indent + "<" + name + "/>\n"; return;
    default: out += indent + "<" + name + ">" + encodeEntities(value.text()) + "</" + name + ">\n";
    }
}

} // namespace

bool PropertyList::parse(const std::string &xml, PlistValue &root, Error &error)
{
    try {
        root = Parser(xml).document();
        return true;
    } catch (const ParseFailure &failure) {
        error.failureReason =
            std::string("The data couldn't be read because it isn't in the correct format: ") + failure.what() + ".";
        error.recoverySuggestion = "Repair the property list file or restore it from the application bundle.";
        return false;
    }
}

std::string PropertyList::serialize(const PlistValue &root)
{
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    write(out, root, 0);
    out += "</plist>\n";
    return out;
}

} // namespace platform
