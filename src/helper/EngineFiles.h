#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace stelvane {

// The files an engine reads, taken from the caller's configuration directory
// with the caller's own rights and handed to the engine as sealed in-memory
// copies: the engine, which runs as root, never opens a file a caller names,
// and reads exactly what was checked, whatever happens to the files later.
class EngineFiles
{
public:
    static constexpr std::size_t MAX_SIZE = 1024 * 1024;

    // `directory` must be an absolute path to a directory the caller can
    // reach; throws IllegalArgumentException("PathToConfigDir", ...) otherwise.
    explicit EngineFiles(const std::string &directory);
    ~EngineFiles();
    EngineFiles(const EngineFiles &) = delete;
    EngineFiles &operator=(const EngineFiles &) = delete;

    // The directory, canonical.
    const std::string &directory() const { return m_directory; }

    // Reads `name` (relative to the directory unless absolute), which must be
    // a regular file of at most MAX_SIZE inside the directory that the caller
    // can read; false, with `refusal` set, otherwise.
    bool read(const std::string &name, std::string &content, std::string &refusal) const;
    // The same, throwing IllegalArgumentException(`argument`, name + " (refusal)").
    std::string read(const std::string &name, const char *argument) const;

    // A sealed copy of `content`, open until this object ends (and across an
    // exec); the path under which the engine opens it. Empty when the system
    // refuses one.
    std::string seal(const std::string &content);
    // read() and seal() in one: the path of the copy of `name`.
    bool sealedCopy(const std::string &name, std::string &enginePath, std::string &refusal);
    // The same, throwing as read() does.
    std::string sealedCopy(const std::string &name, const char *argument);

private:
    std::string m_directory;
    std::vector<int> m_copies;
};

} // namespace stelvane
