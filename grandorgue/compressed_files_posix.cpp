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

} // namespace

Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view name,
                                        std::size_t maxSize) {
    const std::string where = Utf8Name(package) + ": ";
    int openError = 0;
    const std::unique_ptr<zip_t, ArchiveClose> archive(
        zip_open(package.c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        std::string message =
            where + "not a readable .orgue package (" + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
        return Error{message};
    }
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

} // namespace vtl
