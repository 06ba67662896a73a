// Any byte string given to the zip reader either throws zip_exception or
// yields members whose bytes are exactly as long as announced.
#include "catalogue/zip_archive.h"
#include "catalogue/zip_exception.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), int(size));
    try {
        const zip_archive archive(data);
        for (const zip_file &file : archive.files) {
            try {
                if (quint32(archive.get_file_data(file).size()) != file.uncompressedSize)
                    std::abort();
            } catch (const zip_exception &) {
            }
        }
    } catch (const zip_exception &) {
    }
    return 0;
}
