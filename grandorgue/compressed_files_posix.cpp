#include "grandorgue/compressed_files.h"

#include "model/file_path.h"

#include <zip.h>

#include <memory>

namespace vtl {
namespace {

struct ArchiveClose {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct MemberClose {
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};
using Archive = std::unique_ptr<zip_t, ArchiveClose>;

Error NotAPackage(const std::string& where, zip_error_t& error) {
    std::string message =
        where + "not a readable .orgue package (" + zip_error_strerror(&error) + ")";
    zip_error_fini(&error);
    return Error{message};
}

Expected<std::string> ReadMember(const Archive& archive, const std::string& where,
                                 std::string_view name, std::size_t maxSize) {
    const std::string member(name);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive.get(), member.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return Error{where + "the package holds no " + member};
    if (stat.size > maxSize) return Error{where + member + " is too big"};
    const std::unique_ptr<zip_file_t, MemberClose> file(
        zip_fopen(archive.get(), member.c_str(), 0));
    std::string contents(stat.size, '\0');
    if (!file ||
        zip_fread(file.get(), contents.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
        return Error{where + member + " cannot be read from the package"};
    return contents;
}

} // namespace

Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view name,
                                        std::size_t maxSize) {
    const std::string where = Utf8Name(package) + ": ";
    int openError = 0;
    const Archive archive(zip_open(package.c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        return NotAPackage(where, error);
    }
    return ReadMember(archive, where, name, maxSize);
}

Expected<std::string> ReadArchiveMember(std::string_view archive, std::string_view source,
                                        std::string_view name, std::size_t maxSize) {
    const std::string where = std::string(source) + ": ";
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* bytes = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (!bytes) return NotAPackage(where, error);
    const Archive opened(zip_open_from_source(bytes, ZIP_RDONLY, &error));
    if (!opened) {
        zip_source_free(bytes);
        return NotAPackage(where, error);
    }
    zip_error_fini(&error);
    return ReadMember(opened, where, name, maxSize);
}

} // namespace vtl
