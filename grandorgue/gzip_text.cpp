#include "grandorgue/compressed_files.h"

#include <zlib.h>

namespace vtl {

Expected<std::string> Gunzip(std::string_view bytes, std::size_t maxSize, std::string_view source) {
    const Error damaged{std::string(source) + ": the compressed settings are damaged"};
    z_stream stream{};
    // 16 + the largest window: gzip data only, with its header and checksum checked.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return damaged;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string contents;
    int status = Z_OK;
    while (status == Z_OK) {
        char buffer[16384];
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        contents.append(buffer, sizeof buffer - stream.avail_out);
        if (contents.size() > maxSize) status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return damaged;
    return contents;
}

} // namespace vtl
