#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace stelvane {

// Reads an OpenVPN configuration by the rules of the engine's own parser
// (OpenVPN 2.6): one directive a line; words split at blanks; "..." with the
// backslash escapes \\, \" and "\ ", '...' without escapes; an unquoted
// backslash escapes the same three; '#' and ';' start a comment where a word
// would start; a leading "--" of the first word is dropped; a line holding the
// single word <tag> opens an inline block, whose content runs up to the first
// line that begins, after blanks, with </tag>. What the engine would read in
// another way, split, cut or refuse is refused here: NUL bytes, control
// characters, lines over the engine's limit, more words than it keeps, bad
// escapes, open quotes, unclosed blocks, text after a closing tag.
class OpenVpnConfigTokenizer
{
public:
    // The engine reads 256 bytes a line including the line end, and fails on
    // a line that fills them.
    static constexpr std::size_t MAX_LINE_LENGTH = 254;
    // The engine keeps the first 16 words of a line and drops the rest.
    static constexpr std::size_t MAX_WORDS = 16;

    struct Directive
    {
        // Of the line that holds the directive or opens the block.
        int line = 0;
        // The name, then the arguments; an inline block: its tag, then its
        // content (the lines between the tags, each with its line end).
        std::vector<std::string> words;
        bool isInline = false;
        // An inline block's lines: its content lines and the two tag lines.
        int lineCount = 1;
    };

    // The directives of `content`, in order; false, with `error` naming the
    // line, when a line cannot be read unambiguously.
    static bool read(const std::string &content, std::vector<Directive> &directives, std::string &error);

    // The words of one line, given with its line end if it has one.
    static bool words(const std::string &line, std::vector<std::string> &result, std::string &error);
};

} // namespace stelvane
